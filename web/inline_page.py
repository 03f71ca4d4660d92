#!/usr/bin/env python3
"""Writes the site's index.html: the page as web/index.html has it, with its
style sheet and its own scripts (page.css, page_errors.js, page_fit.js,
page.js) written into it, so that the browser has them with the page's first
bytes instead of after a second round of requests, and lays the page out
while the program's files are still on their way. rallix.js stays a file of
its own. The page's content security policy allows the inlined style and
scripts by their SHA-256 digests, and nothing else inline.
  inline_page.py WEB_DIR OUTPUT
"""
import base64
import hashlib
import pathlib
import re
import sys

STYLE = re.compile(r'<link rel="stylesheet" href="(page\.css)">')
SCRIPT = re.compile(r'<script src="(page\w*\.js)"([^>]*)></script>')
POLICY = re.compile(r'(<meta http-equiv="Content-Security-Policy" content=")([^"]*)(">)')


def main(web, output):
    page = (web / 'index.html').read_text(encoding='utf-8')
    allowed = {'script-src': [], 'style-src': []}

    def inline(tag, directive, name, attributes=''):
        text = (web / name).read_text(encoding='utf-8')
        # Either would end the element, or change how the rest is read, early.
        for mark in (f'</{tag}', '<!--'):
            if mark in text.lower():
                raise SystemExit(f'error: {name} contains "{mark}" and cannot be written into the page')
        digest = base64.b64encode(hashlib.sha256(text.encode('utf-8')).digest()).decode()
        allowed[directive].append(f"'sha256-{digest}'")
        return f'<{tag}{attributes}>{text}</{tag}>'

    page, styles = STYLE.subn(lambda m: inline('style', 'style-src', m[1]), page)
    page, scripts = SCRIPT.subn(lambda m: inline('script', 'script-src', m[1], m[2]), page)

    def allow(match):
        policy = match[2]
        for directive, digests in allowed.items():
            policy, found = re.subn(rf"\b{directive} 'self'", f"{directive} 'self' " + ' '.join(digests),
                                    policy)
            if not found:
                raise SystemExit(f"error: index.html's policy has no \"{directive} 'self'\"")
        return match[1] + policy + match[3]

    page, policies = POLICY.subn(allow, page)
    if (styles, scripts, policies) != (1, 3, 1):
        raise SystemExit(f'error: index.html has {styles} style sheets, {scripts} page scripts and '
                         f'{policies} policies to write in, not 1, 3 and 1')
    output.write_text(page, encoding='utf-8')


if __name__ == '__main__':
    main(pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]))
