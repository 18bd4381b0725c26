#!/usr/bin/env bash
# Exits 0 when this machine's kernel runs 32-bit x86 programs, non-zero otherwise. It
# writes and starts a 93-byte static i386 ELF program that only calls exit(0) through
# int 0x80, so no 32-bit library or package is needed to find out.
set -u
# A folder mounted noexec would make any probe fail: take the first where a script runs.
probe=""
trap 'rm -f "$probe"' EXIT
for dir in "${TMPDIR:-/tmp}" /var/tmp /dev/shm "$PWD"; do
  probe=$(mktemp "$dir/runs-32bit.XXXXXX" 2>/dev/null) || continue
  printf '#!/bin/sh\nexit 0\n' >"$probe" && chmod +x "$probe" && "$probe" 2>/dev/null && break
  rm -f "$probe"
  probe=""
done
[ -n "$probe" ] || { echo "runs-32bit: no folder here lets a program run" >&2; exit 1; }
{
  # ELF header: 32-bit, little endian, executable for the 386, entry 0x08048054, one
  # program header at offset 52.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  # One loadable segment, read and execute: the whole file at 0x08048000.
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov eax, 1 (exit); xor ebx, ebx (status 0); int 0x80
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
} >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
