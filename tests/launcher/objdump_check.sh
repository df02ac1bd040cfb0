#!/bin/sh
# Reads setup.exe with binutils' PE reader and checks the image header, the
# imports and the resources that the oldest supported systems rely on.
# usage: objdump_check.sh OBJDUMP setup.exe
set -eu
objdump=$1 exe=$2
out=$("$objdump" -p "$exe")
failed=0

expect() {  # expect DESCRIPTION EXTENDED-REGEX
  if ! printf '%s\n' "$out" | grep -Eq "$2"; then
    echo "setup.exe: expected $1"
    failed=1
  fi
}

expect "a PE32 image" '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)'
expect "no time stamp" '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$'
expect "Subsystem 2 (Windows GUI)" '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)$'
for v in MajorOSystemVersion MajorSubsystemVersion; do
  expect "$v 4" "^$v[[:space:]]+4$"
done
for v in MinorOSystemVersion MinorSubsystemVersion; do
  expect "$v 0" "^$v[[:space:]]+0$"
done

dlls=$(printf '%s\n' "$out" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')
[ "$dlls" = "KERNEL32.dll msvcrt.dll USER32.dll " ] || { echo "setup.exe: imports from '$dlls'"; failed=1; }

# The imported functions, DLL by DLL: the system calls, sprintf and nothing else.
imports=$(printf '%s\n' "$out" | awk '
  /DLL Name:/ { dll = $3; next }
  dll != "" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ { print dll "!" $3 }' \
  | sort | tr '\n' ' ')
wanted="KERNEL32.dll!CloseHandle KERNEL32.dll!CreateProcessA KERNEL32.dll!ExitProcess \
KERNEL32.dll!FindClose KERNEL32.dll!FindFirstFileA KERNEL32.dll!GetModuleHandleA \
KERNEL32.dll!GetSystemDirectoryA KERNEL32.dll!GetVersionExA USER32.dll!MessageBoxA \
msvcrt.dll!sprintf "
[ "$imports" = "$wanted" ] || { echo "setup.exe: imported functions '$imports'"; failed=1; }

# Resources: type 3 (icon) with image 1, type 14 (icon group) with group 101,
# both under language 0x427 (1063); nothing else. The image of a 32 by 32
# icon in 16 colours is 744 bytes, the group of one entry 20 bytes.
tree=$(printf '%s\n' "$out" | sed -n '/Resource Directory section/,/Resources start/p' \
  | sed -n 's/.*Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p; s/.*Leaf: Addr: 0x[0-9a-f]*, Size: 0x0*\([0-9a-f]*\),.*/size \1/p' \
  | tr '\n' ' ')
[ "$tree" = "3 1 427 size 2e8 e 65 427 size 14 " ] || { echo "setup.exe: resource tree '$tree'"; failed=1; }

exit $failed
