#!/usr/bin/env bash
# The readme of the release archive, made as tools/package makes it: it must
# decode from Shift-JIS back to the source (no character lost or changed), end
# every line with CRLF, and carry the version and every section a user looks for.
#
#   check_readme.sh SOURCE VERSION SCRATCH_FOLDER
set -uo pipefail
source=$1 version=$2 made=$3/readme.txt back=$3/readme.back
fail() {
    echo "readme: $*" >&2
    exit 1
}

"$(dirname "$0")/../../tools/archive_text" "$version" <"$source" >"$made" ||
    fail "$source does not convert to Shift-JIS"
iconv -f CP932 -t UTF-8 "$made" >"$back" || fail "readme.txt does not decode as Shift-JIS"
if grep -qv $'\r$' "$back"; then
    fail "a line of readme.txt does not end with CRLF"
fi
cmp -s <(tr -d '\r' <"$back") <(sed "s/@TIDEWELL_VERSION@/$version/g" "$source") ||
    fail "readme.txt does not decode back to $source"
for heading in 概要 動作環境 インストール アンインストール 使い方 設定 コマンドライン 更新履歴 ライセンス; do
    grep -qx "■ $heading"$'\r' "$back" || fail "the section \"■ $heading\" is missing"
done
# The change history begins with this version.
[ "$(grep -x -A2 $'■ 更新履歴\r' "$back" | sed -n 3p)" = "$version"$'\r' ] ||
    fail "the change history does not begin with version $version"
