#!/usr/bin/env bash
# Makes the Debian package from the build at hand and checks it with Debian's
# own tools: lintian (no errors), the desktop entry, the AppStream metadata and
# the manual page as the package ships them.
# Usage: check.sh BUILD_DIR DEB
set -euo pipefail
cd "$1"
rm -f "$2"
cpack >/dev/null
[ -f "$2" ] || { echo "FAIL: cpack did not make $2" >&2; exit 1; }
lintian --fail-on error "$2"
root=$(mktemp -d /tmp/tileriot-deb-XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$2" "$root"
desktop-file-validate "$root/usr/share/applications/tileriot.desktop"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
warnings=$(man --warnings -l "$root/usr/share/man/man6/tileriot.6.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "FAIL: the manual page: $warnings" >&2; exit 1; }
echo "PASS"
