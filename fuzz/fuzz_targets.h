// The fuzz targets' bodies, shared by the libFuzzer drivers and by the tests, which
// replay every corpus file through them.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The capacities the installer expands file blocks and the header block with.
constexpr uint32_t kFuzzFileCapacity = 0x18000;
constexpr uint32_t kFuzzHeaderCapacity = 0xFFFF;

// Feeds `data` (up to 65535 bytes; the rest is ignored) as a block's stored bytes to
// ExpandBlock with the header block capacity and with the file block capacity. Returns
// false if ExpandBlock broke its contract; the sanitizers watch its memory accesses.
bool FuzzExpandBlock(const uint8_t* data, size_t size);

// Compresses `data` and expands the result with the smallest capacity CompressBlock
// promises to be enough. Returns false unless the original bytes come back or the block
// was refused as too large.
bool FuzzRoundTrip(const uint8_t* data, size_t size);

// Decodes `data` (up to 0x18000 bytes) as stored bytes with the Huffman decoder and with
// the slow reference decoder, then encodes `data` as codes and decodes that. Returns
// false unless both decoders agree on the bytes and the verdict each time, and the codes
// come back.
bool FuzzHuffmanDecoder(const uint8_t* data, size_t size);

// Parses `data` as an expanded header block. Returns false if a parsed text reaches
// outside the block.
bool FuzzHeaderBlock(const uint8_t* data, size_t size);

// Reads `data` as a PE file's version resource. Returns false if the reader reports a
// version without having found one, or if renaming every OLESelfRegister key it names
// (as register=no does) leaves a marker that the installer's test finds in any language.
bool FuzzPeVersion(const uint8_t* data, size_t size);

// Writes `data` as an installation file and runs twk's list, verify, extract and diff (of
// the file with itself) on it. Returns false if a command ends with an undocumented exit
// code, if list or extract fails where verify finds the file sound, if extract does not
// refuse a target where verify finds the package intact but its targets refused, if diff
// does not find the file the same as itself exactly when verify finds it intact (a
// damaged installer must never compare as the same), if extraction writes outside its
// folder or leaves a temporary file or link, or if a file descriptor stays open.
bool FuzzInstallerFile(const uint8_t* data, size_t size);

// Parses `data` as a build script and checks it as `twk build` does (a script that
// includes another is passed over: it would read the machine's files). Returns false if
// a refusal is not a list of one-line script errors naming the script, or if a script that passes
// turns into header texts, shortcut lines, registry lines or [Messages] texts that do not
// read back as written or do not fit their records (a text the stub would not show, its
// placeholders other than its English text's).
bool FuzzBuildScript(const uint8_t* data, size_t size);

// Runs the uninstaller on the simulated Windows with `data` as what follows its mode byte
// (the trailer's texts and the uninstall log), after putting the files and keys that the
// log names on the machine; every prompt gets its default answer. Returns false if twk's
// reader of the log refuses it, or if the machine saw a fault of the program or the run
// ended with an exit code other than 0 or 1.
bool FuzzUninstallLog(const uint8_t* data, size_t size);

// Reads `data` as an answers file of `twk simulate`. Returns false if a refusal is not a
// script error naming the file or leaves part of the file scripted.
bool FuzzSimulateAnswers(const uint8_t* data, size_t size);

// Reads `data` (registry.txt, a NUL byte, machine.txt) as a simulated machine's saved
// state. Returns false if a state that loads does not save, load and save again to the
// same bytes.
bool FuzzMachineState(const uint8_t* data, size_t size);
