// Loading the package header into the setup state.
#pragma once

// Reads the mode byte and the header that follows it from the package stream, right
// after the first OpenVolume, and fills the setup state:
//   mode byte 0: the header block (a block record expanded within kHeaderBlockCapacity):
//     title, bottom text, product key name, program folder, start-menu folder, the size
//     table and the licence text; the fixed-folder flag when the program folder has a
//     drive letter ("C:...");
//   mode byte 1 or 2: the mode and the three string records of the maintenance trailer:
//     title, bottom text, product key name. Nothing more is read.
// The mode byte must agree with volume 0's volume length word (not 0 in an installation
// file, 0 in a maintenance program); any other mode byte is damage.
// Returns false when the package cannot be used; the flags say why:
//   cancel flag  a read failed and the user cancelled the "Critical Error!" prompt;
//   corrupt flag the header block failed a checksum or its expansion, or it is cut short
//                (a text without its NUL, no room for the size table), or the mode byte
//                disagrees with the length word of an installation file;
//   both         a maintenance program is damaged (its mode byte, or its trailer cut
//                short): reported already, with the "File Damaged" text;
//   neither      memory ran out.
// The walk over the expanded header never reads past its expanded length.
bool ReadSetupHeader();
