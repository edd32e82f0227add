# Sourced by every seed script with the script's arguments: makes the corpus folder $out
# (the first argument) and a temporary folder $tmp that goes away on exit, and gives
# little-endian numbers as bytes.
out=${1:?usage: $0 CORPUS_DIR}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
