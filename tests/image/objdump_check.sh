#!/bin/sh
# Reads a layout library with binutils' PE reader, which shares no code with
# ours, and checks what the platform's loader relies on.
# usage: objdump_check.sh OBJDUMP FILE.dll RELOCATIONS
set -eu
objdump=$1 dll=$2 relocs=$3
name=$(basename "$dll")
out=$("$objdump" -p "$dll")
failed=0

expect() {  # expect DESCRIPTION EXTENDED-REGEX
  if ! printf '%s\n' "$out" | grep -Eq "$2"; then
    echo "$name: expected $1"
    failed=1
  fi
}

expect "a PE32 image" '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)'
expect "the DLL flag" '^[[:space:]]+DLL$'
expect "characteristics 0x210e" '^Characteristics 0x210e$'
expect "ImageBase 5ff40000" '^ImageBase[[:space:]]+5ff40000$'
expect "AddressOfEntryPoint 0" '^AddressOfEntryPoint[[:space:]]+00000000$'
expect "Subsystem 1" '^Subsystem[[:space:]]+00000001'
expect "DllCharacteristics 0" '^DllCharacteristics[[:space:]]+00000000$'
for v in MajorOSystemVersion MajorImageVersion MajorSubsystemVersion; do
  expect "$v 5" "^$v[[:space:]]+5$"
done
for v in MinorOSystemVersion MinorImageVersion MinorSubsystemVersion; do
  expect "$v 0" "^$v[[:space:]]+0$"
done
expect "no import table" '^Entry 1 00000000 00000000 Import Directory'
expect "the export directory's name" "^Name[[:space:]]+[0-9a-f]+ $name$"
expect "ordinal base 1" '^Ordinal Base[[:space:]]+1$'
expect "one exported function" '^[[:space:]]+Export Address Table[[:space:]]+00000001$'
expect "KbdLayerDescriptor as the only name" '^[[:space:]]+\[   0\] KbdLayerDescriptor$'
expect "one relocation block for page 0x1000 with $relocs fixups" \
  "^Virtual Address: 00001000 Chunk size [0-9]+ \(0x[0-9a-f]+\) Number of fixups $relocs$"

# Every data directory but export, resource and base relocation is empty.
used=$(printf '%s\n' "$out" | grep -E '^Entry [0-9a-f] ' | grep -Ev '^Entry [0-9a-f] 00000000 00000000' \
  | cut -d' ' -f2 | tr -d '\n')
[ "$used" = "025" ] || { echo "$name: data directories in use: '$used', expected 0, 2 and 5"; failed=1; }

blocks=$(printf '%s\n' "$out" | grep -c '^Virtual Address: ' || true)
[ "$blocks" -eq 1 ] || { echo "$name: $blocks relocation blocks, expected 1"; failed=1; }
highlow=$(printf '%s\n' "$out" | grep -c ' HIGHLOW$' || true)
[ "$highlow" -eq "$relocs" ] || { echo "$name: $highlow HIGHLOW entries, expected $relocs"; failed=1; }
others=$(printf '%s\n' "$out" | grep -E '^[[:space:]]+reloc ' | grep -vc ' HIGHLOW$' || true)
[ "$others" -eq 0 ] || { echo "$name: $others relocations of another type"; failed=1; }

sections=$("$objdump" -h "$dll" | awk '/^ +[0-9]+ /{print $2}' | tr '\n' ' ')
[ "$sections" = ".data .rsrc .reloc " ] || { echo "$name: sections '$sections'"; failed=1; }

exit $failed
