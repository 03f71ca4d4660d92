# Writes the site's service worker from its template: the files it keeps,
# each with its SHA-256 digest, and the name of its store, a digest of
# those, so that any change to the site makes a new store that replaces the
# old one.
#   cmake -DSITE=<site dir> -DTEMPLATE=<service-worker.js.in>
#         -DFILES=<file,file,...> -P stamp_service_worker.cmake
string(REPLACE "," ";" files "${FILES}")
set(digests "")
set(RALLIX_SITE_FILES "")
foreach(file IN LISTS files)
  file(SHA256 "${SITE}/${file}" digest)
  string(APPEND digests "${file} ${digest}\n")
  # The site's address is its index, and comes first: the page was fetched
  # by it.
  if(file STREQUAL "index.html")
    string(PREPEND RALLIX_SITE_FILES "\n  './': '${digest}',")
  endif()
  string(APPEND RALLIX_SITE_FILES "\n  '${file}': '${digest}',")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 RALLIX_SITE_VERSION)
configure_file("${TEMPLATE}" "${SITE}/service-worker.js" @ONLY)
