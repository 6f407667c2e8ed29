#!/usr/bin/env bash
# make-fuzz-seeds.sh
#
# Writes the seeds of the fuzz targets that read whole files (installation files, build
# scripts, uninstall logs, answers files, saved machine states) under fuzz/corpus/: small
# installers built by twk from tiny scripts, installed and uninstalled with twk simulate.
# Run it again when the package format changes. It writes only the files named "seed-*",
# so inputs that the fuzzers found stay as they are. TWK names the twk executable
# (default build/bin/twk).
set -euo pipefail
cd "$(dirname "$0")/.."

twk=$(realpath "${TWK:-build/bin/twk}")
corpus=$PWD/fuzz/corpus
work=$(mktemp -d /tmp/twk-fuzz-seeds.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A stand-in for the stub: its marker and a zero package offset word, nothing else, so
# that the fuzzers spend no time in a program image that nothing reads.
printf 'MZWHERETOSTARTSTRING:\0\0\0\0' >stub.bin
stub_size=$(stat -c %s stub.bin)

# The sources, with fixed times: a file's time goes into the package.
printf 'alpha\r\n' >a.txt
printf 'shared library stand-in' >lib.dll
: >empty.log
# Two blocks of a file that compresses well, so that the seed stays small.
printf 'the same line, again and again\n%.0s' $(seq 2300) >long.txt
printf 'Terms:\nuse it well.\n' >licence.txt
printf '[Settings]\nA=1\n' >settings.ini
touch -d '2001-02-03 04:05:06 UTC' a.txt lib.dll empty.log long.txt licence.txt settings.ini

cat >tiny.twk <<'EOF'
[Setup]
Title = Tiny
ProductKey = Tiny
ProgramFolder = Tiny
[Files]
a.txt {OurProgramDir}\a.txt
EOF

cat >full.twk <<'EOF'
[Setup]
Title           = Full 1.0
BottomText      = "Maker\nFull product"
ProductKey      = Full
ProgramFolder   = Full
StartMenuFolder = Full
Licence         = licence.txt
RunAfter        = {OurProgramDir}\a.txt

[Files]
a.txt         {OurProgramDir}\
lib.dll       {WinSysDir}\FullLib.dll        shared  version=1.0.0.1
empty.log     {OurProgramDir}\logs\empty.log
long.txt      {OurProgramDir}\data\long.txt  version=2.0
settings.ini  {WinDir}\full.ini

[Shortcuts]
"{OurShortcutDir}\Full"  {OurProgramDir}\a.txt
"{Desktop}\Full Long"    {WinDir}\notepad.exe  arguments="""{OurProgramDir}\data\long.txt""" startin={OurProgramDir}

[Registry]
"HKEY_LOCAL_MACHINE\Software\Maker\Full"
@        = string "Full 1.0"
Folder   = string {OurProgramDir}
Count    = dword 7
Data     = binary 00 01 fe ff
Old      = remove
"HKCU\Software\Maker\Full\Window"
Width    = dword 0x280
"HKCR\.full"
@        = string Full.Document
EOF

# An installation file's seed: the stand-in stub and the package.
build() {
  "$twk" build "$1" -o "$2" --stub stub.bin >/dev/null
}

# What follows UNINST.EXE's mode byte: the trailer's texts and the uninstall log.
log_of() {
  tail -c +$((stub_size + 4 + 1 + 1)) "$1"
}

# A machine's saved state: registry.txt, a NUL byte, machine.txt.
state_of() {
  cat "$1/registry.txt"
  printf '\0'
  cat "$1/machine.txt"
}

installers=$corpus/fuzz_installer_file
build tiny.twk TINY.EXE && cp TINY.EXE "$installers/seed-tiny"
build full.twk FULL.EXE && cp FULL.EXE "$installers/seed-full"

scripts=$corpus/fuzz_build_script
cp tiny.twk "$scripts/seed-tiny.twk"
cp full.twk "$scripts/seed-full.twk"
printf '\xEF\xBB\xBF[setup]\r\nTitle = "Quoted ""text"""\r\n[files]\r\ndocs\\*.txt {WinDir}\\docs\\\r\n' \
  >"$scripts/seed-bom-crlf-wildcard.twk"

# An NT machine that installs both products and removes the tiny one; a 9x machine on
# which a file is in use, so that the install leaves next-boot work and a finalizer.
"$twk" simulate TINY.EXE --root nt --nt >/dev/null
"$twk" simulate FULL.EXE --root nt >/dev/null
log_of "nt/C/Program Files/Tiny/UNINST.EXE" >"$corpus/fuzz_uninstall_log/seed-tiny"
log_of "nt/C/Program Files/Full/UNINST.EXE" >"$corpus/fuzz_uninstall_log/seed-full"
"$twk" simulate "nt/C/Program Files/Tiny/UNINST.EXE" --root nt >/dev/null
state_of nt >"$corpus/fuzz_machine_state/seed-nt"

mkdir -p 9x
printf 'family=9x\ninuse=C:\\WINDOWS\\full.ini\nshortname=C:\\Program Files|PROGRA~1\n' >9x/machine.txt
"$twk" simulate FULL.EXE --root 9x >/dev/null
state_of 9x >"$corpus/fuzz_machine_state/seed-9x-in-use"

# Every form of the registry's text form and every line of machine.txt, escapes included.
{
  printf '; every form\r\n[HKEY_LOCAL_MACHINE\\Software\\100%%25 %%E9t%%E9\\Tab%%09Key]\n'
  printf '@=sz:"C:\\\\Path \\"quoted\\" \\x7F\\xe9"\n"Number"=dword:0000ffff\n'
  printf '"Bytes"=hex:00,7f,ff\n"Empty"=hex:\n"Multi"=hex(7):61,00,62,00,00\n'
  printf '"Inner zero"=hex(1):61,00,62,00\n\n[HKEY_CURRENT_USER]\n"Root value"=sz:""\n'
  printf '\0; the simulated machine\nfamily=nt\nwindows=C:\\WINNT\nsystem=C:\\WINNT\\system32\n'
  printf 'temp=C:\\TEMP\\\nshell.0=C:\\WINNT\\Desktop\nshell.2=\nbootmove=C:\\a.NewTemp|C:\\a\n'
  printf 'bootdelete=C:\\old.dll\nshellopen=C:\\WINNT\\notepad.exe C:\\readme.txt\nrestarts=2\n'
  printf 'inuse=C:\\WINNT\\system32\\lib.dll\nshortname=C:\\Program Files\\Long Name|LONGNA~1\n'
} >"$corpus/fuzz_machine_state/seed-every-form"

answers=$corpus/fuzz_simulate_answers
cat >"$answers/seed-pages" <<'EOF'
# the wizard, page by page
page 111 next
page 101 next
page 102 type "C:\Program Files\Other" browse "D:\Apps" next
page 114 browse cancel back
page * finish
page 111 cancel
message "Setup" "Cancel the installation?" no
EOF
cat >"$answers/seed-dialogs" <<'EOF'
; overwrite questions, cancel presses and message boxes
overwrite 116 "C:\Program Files\Full\a.txt" yes-to-all
overwrite 117 * skip-all
overwrite * * 1009
cancel at "Creating shortcuts..."
cancel after 3
message "Restart Windows?" "Some files wait." NL NL "May I restart Windows now?" yes
defaults
EOF
