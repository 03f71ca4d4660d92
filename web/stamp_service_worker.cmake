# Writes the site's service worker from its template: the files it keeps
# and the name of its store, a digest of those files, so that any change to
# the site makes a new store that replaces the old one.
#   cmake -DSITE=<site dir> -DTEMPLATE=<service-worker.js.in>
#         -DFILES=<file,file,...> -P stamp_service_worker.cmake
string(REPLACE "," ";" files "${FILES}")
set(digests "")
set(RALLIX_SITE_FILES "'./'")
foreach(file IN LISTS files)
  file(SHA256 "${SITE}/${file}" digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND RALLIX_SITE_FILES ", '${file}'")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 RALLIX_SITE_VERSION)
configure_file("${TEMPLATE}" "${SITE}/service-worker.js" @ONLY)
