// The installation file, its volumes and the maintenance programs, byte by byte.
// Every field and constant of the format is named here once, for the stub and for twk.
// All integers are little-endian; all text is 8-bit ANSI.
//
//  Installation file (volume 0)
//  +--------------------------------------------+ 0
//  | stub executable                            |
//  |   ... "WHERETOSTARTSTRING:" [offset u32]   |  offset word = stub length = N
//  +--------------------------------------------+ N (package offset)
//  | volume length u32    (end of file as built; |
//  |                       0 in a maintenance program)
//  | mode u8              0 install, 1 uninstall, 2 finalize
//  | header block         block record, expands (capacity 0xFFFF) to:
//  |     title\0 bottom\0 productkey\0 folder\0 startmenu\0
//  |     directory checksum u32, size table 8 x u32, licence\0 (or a single 0)
//  | file entries         name record, blocks u16, version 4 x u16,
//  |                      FILETIME u64, shared u8, block records..., end record
//  |   ... ended by an empty name record
//  | shortcut list        string records, ended by an empty record
//  | registry list        string records, ended by an empty record
//  | run-after command    one string record (empty = none)
//  +--------------------------------------------+ end of package
//  Volume k >= 1 ("SETUP.001", ...): volume length u32, then the package bytes that
//  continue where the previous volume ended.
//
//  Block record: stored length u16 (0 = end record, nothing follows),
//                expanded checksum u32, stored checksum u32, stored bytes.
//  String record: length u8 (0..255), characters, no terminator.
//
//  Maintenance program (UNINST.EXE, FINALIZE.EXE)
//  | first N bytes of the installation file | 0 u32 | mode u8 | title | bottom |
//  | product key | (UNINST.EXE only) uninstall log: file section, empty record,
//  | registry section (key line, value names, empty record)..., empty record |
#pragma once

#include <stddef.h>
#include <stdint.h>

// --- The stub and its package offset -------------------------------------------------
constexpr char kPackageMarker[] = "WHERETOSTARTSTRING:";
constexpr size_t kPackageMarkerLength = 19;
constexpr size_t kPackageOffsetWordSize = 4;
static_assert(sizeof(kPackageMarker) == kPackageMarkerLength + 1, "marker length");

// --- Package stream ------------------------------------------------------------------
constexpr size_t kVolumeLengthWordSize = 4;
constexpr char kVolumeSuffixFormat[] = ".%03d";  // SETUP.EXE -> SETUP.001, SETUP.002 ...
constexpr size_t kMaxStringRecord = 255;

enum PackageMode : uint8_t {
  kModeInstall = 0,
  kModeUninstall = 1,
  kModeFinalize = 2,
};

// --- Block records -------------------------------------------------------------------
constexpr size_t kBlockRecordFixedSize = 10;  // stored length + two checksums
constexpr uint32_t kMaxStoredBlockLength = 0xFFFF;
constexpr uint32_t kHeaderBlockCapacity = 0xFFFF;
constexpr uint32_t kFileBlockCapacity = 0x18000;
constexpr uint32_t kChecksumStart = 0xFFFFFFFFu;
constexpr uint32_t kChecksumPolynomial = 0x04C11DB7u;

// The builder cuts files into pieces of this size; only a file's last block is shorter
// (or a piece that had to be cut again to keep its stored length within 16 bits).
constexpr uint32_t kPieceSize = 65000;

// --- Header block (expanded) ---------------------------------------------------------
constexpr size_t kHeaderTextCount = 5;  // title, bottom, product key, folder, start menu
// The directory checksum: the block checksum of every package byte after the header
// block that lies outside a block record (file entries' names and fields, the empty
// record that ends them, both lists with their empty records, the run-after record). Those
// bytes have no checksum of their own: a damaged name would otherwise install a file
// under another name without a word. 0 = none (packages from before the word was used,
// when it was reserved and always 0).
constexpr size_t kHeaderDirectoryChecksumSize = 4;
constexpr uint32_t kNoDirectoryChecksum = 0;
// Lists longer than this are damage: no script writes megabytes of shortcut and
// registry lines, and the installer holds them in memory to check them before use.
constexpr uint32_t kMaxListSectionSize = 16u << 20;
constexpr size_t kSizeTableWords = 8;
// Words 0..6 count allocation units of 512 << k bytes; word 7 counts data blocks.
constexpr size_t kSizeTableBlockCountWord = 7;
constexpr uint32_t kSmallestAllocationUnit = 512;

// --- File entries --------------------------------------------------------------------
// After the name record: block count u16, version 4 x u16 (major first), FILETIME
// (low u32, high u32), shared flag u8.
constexpr size_t kFileEntryFixedSize = 2 + 8 + 8 + 1;
constexpr uint32_t kMaxBlocksPerFile = 0xFFFF;

// --- Shortcut and registry lines -----------------------------------------------------
constexpr char kShortcutSeparator = '=';
constexpr char kShortcutFieldSeparator = '\t';
constexpr char kRegistryKeyLinePrefix = ':';
constexpr char kRegistryDefaultValueName[] = "@";
constexpr char kRegistryTypeText = 'S';
constexpr char kRegistryTypeNumber = 'D';
constexpr char kRegistryTypeBinary = 'B';
constexpr char kRegistryTypeRemoveOnly = 'N';
constexpr char kRootClasses[] = "HKEY_CLASSES_ROOT\\";
constexpr char kRootCurrentUser[] = "HKEY_CURRENT_USER\\";
constexpr char kRootLocalMachine[] = "HKEY_LOCAL_MACHINE\\";

// --- Maintenance programs and the uninstall log --------------------------------------
constexpr char kUninstallerName[] = "UNINST.EXE";
constexpr char kFinalizerName[] = "FINALIZE.EXE";
constexpr char kSharedFileMarker = '\t';  // last byte of a shared file's log record
constexpr char kWaitingFileSuffix[] = ".NewTemp";
