// codec_bench DIR [--block-size N]: compresses every regular file under DIR in pieces of
// N bytes (default 65000, as the builder cuts files) and prints sizes and speeds of the
// block codec beside bzip2 at block size 100k (level 1) on the same pieces, then the
// time each stage takes. Prints figures; asserts nothing.
#include <bzlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "codec/block_sort_inverse.h"
#include "codec/encoder/block_sort.h"
#include "codec/encoder/compress_block.h"
#include "codec/encoder/huffman_encoder.h"
#include "codec/encoder/move_to_front_encoder.h"
#include "codec/encoder/run_length_encoder.h"
#include "codec/expand_block.h"
#include "codec/huffman_decoder.h"
#include "codec/move_to_front.h"
#include "codec/run_length.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr size_t kRecordOverhead = 10;            // length word and two checksums per block record
constexpr uint32_t kFileBlockCapacity = 0x18000;  // what the installer expands file blocks in

struct Totals {
  size_t input = 0;
  size_t pieces = 0;
  size_t ours = 0;        // stored bytes + record overhead
  size_t bzip2 = 0;       // per piece, + the same overhead
  size_t bzip2Whole = 0;  // whole files
  size_t refusedPieces = 0;
  size_t mismatches = 0;
  double encode = 0, decode = 0, bzEncode = 0, bzDecode = 0, bzWholeEncode = 0;
};

// Encode stages: run-length (both forms), block sort, move-to-front, Huffman (both forms
// each). Decode stages: Huffman, move-to-front, block sort, run-length.
struct StageTimes {
  double encode[4] = {};
  double decode[4] = {};
};

class Stopwatch {
 public:
  explicit Stopwatch(double* sink) : sink_(sink), start_(Clock::now()) {}
  ~Stopwatch() { *sink_ += std::chrono::duration<double>(Clock::now() - start_).count(); }

 private:
  double* sink_;
  Clock::time_point start_;
};

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Like the builder: a piece whose stored form would not fit is cut in halves.
void CompressPiece(const uint8_t* data, size_t length, std::vector<Bytes>* blocks, Totals* totals) {
  Bytes stored;
  bool ok;
  {
    Stopwatch watch(&totals->encode);
    ok = CompressBlock(data, length, &stored);
  }
  if (ok) {
    blocks->push_back(std::move(stored));
    return;
  }
  ++totals->refusedPieces;
  CompressPiece(data, length / 2, blocks, totals);
  CompressPiece(data + length / 2, length - length / 2, blocks, totals);
}

void MeasureOurs(const uint8_t* data, size_t length, Totals* totals) {
  std::vector<Bytes> blocks;
  CompressPiece(data, length, &blocks, totals);
  Bytes buffer(kFileBlockCapacity);
  size_t offset = 0;
  for (const Bytes& stored : blocks) {
    totals->ours += stored.size() + kRecordOverhead;
    memcpy(buffer.data(), stored.data(), stored.size());
    uint32_t expanded = static_cast<uint32_t>(stored.size());
    bool ok;
    {
      Stopwatch watch(&totals->decode);
      ok = ExpandBlock(buffer.data(), &expanded, kFileBlockCapacity);
    }
    if (!ok || offset + expanded > length || memcmp(buffer.data(), data + offset, expanded) != 0) {
      ++totals->mismatches;
    }
    offset += expanded;
  }
  if (offset != length) ++totals->mismatches;
}

void MeasureBzip2(const uint8_t* data, size_t length, Totals* totals) {
  Bytes packed(length + length / 100 + 600);
  auto packedLength = static_cast<unsigned>(packed.size());
  {
    Stopwatch watch(&totals->bzEncode);
    BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(packed.data()), &packedLength,
                             const_cast<char*>(reinterpret_cast<const char*>(data)),
                             static_cast<unsigned>(length), 1, 0, 0);
  }
  totals->bzip2 += packedLength + kRecordOverhead;
  Bytes back(length);
  auto backLength = static_cast<unsigned>(back.size());
  {
    Stopwatch watch(&totals->bzDecode);
    BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(back.data()), &backLength,
                               reinterpret_cast<char*>(packed.data()), packedLength, 0, 0);
  }
  if (backLength != length || back != Bytes(data, data + length)) ++totals->mismatches;
}

void MeasureBzip2WholeFile(const Bytes& file, Totals* totals) {
  Bytes packed(file.size() + file.size() / 100 + 600);
  auto packedLength = static_cast<unsigned>(packed.size());
  Stopwatch watch(&totals->bzWholeEncode);
  BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(packed.data()), &packedLength,
                           const_cast<char*>(reinterpret_cast<const char*>(file.data())),
                           static_cast<unsigned>(file.size()), 1, 0, 0);
  totals->bzip2Whole += packedLength;
}

// Both run-length forms through every encoding stage, then the kept block back through
// every decoding stage, one stage at a time.
void MeasureStages(const uint8_t* data, size_t length, StageTimes* times) {
  Bytes forms[2];
  {
    Stopwatch watch(&times->encode[0]);
    forms[0] = MakeStoredForm(data, length);
    forms[1] = EncodeRunLength(data, length);
  }
  Bytes coded[2];
  for (int f = 0; f < 2; ++f) {
    Bytes sorted;
    {
      Stopwatch watch(&times->encode[1]);
      sorted = BlockSort(forms[f].data(), forms[f].size());
    }
    {
      Stopwatch watch(&times->encode[2]);
      MoveToFront(sorted.data(), sorted.data(), sorted.size());
    }
    {
      Stopwatch watch(&times->encode[3]);
      coded[f] = HuffmanEncodeBlock(sorted.data(), sorted.size());
    }
  }
  const Bytes& stored = coded[1].size() <= coded[0].size() ? coded[1] : coded[0];
  Bytes buffer(kFileBlockCapacity), work(kFileBlockCapacity);
  uint32_t count = 0;
  {
    Stopwatch watch(&times->decode[0]);
    HuffmanDecodeBlock(stored.data(), static_cast<uint32_t>(stored.size()), work.data(),
                       kFileBlockCapacity, &count);
  }
  {
    Stopwatch watch(&times->decode[1]);
    UndoMoveToFront(work.data(), buffer.data(), count);
  }
  {
    Stopwatch watch(&times->decode[2]);
    UndoBlockSort(buffer.data(), work.data(), &count);
  }
  {
    Stopwatch watch(&times->decode[3]);
    UndoRunLength(work.data(), buffer.data(), &count, kFileBlockCapacity);
  }
}

double MBps(size_t bytes, double seconds) { return seconds > 0 ? bytes / seconds / 1e6 : 0; }

void PrintReport(const Totals& t, const StageTimes& s,
                 const std::map<std::string, Totals>& groups) {
  const double in = static_cast<double>(t.input);
  printf("input: %zu bytes in %zu pieces (%zu refused and halved)\n", t.input, t.pieces,
         t.refusedPieces);
  printf("%-22s %12s %7s %12s %12s\n", "", "bytes", "ratio", "encode MB/s", "decode MB/s");
  printf("%-22s %12zu %7.4f %12.2f %12.2f\n", "codec (+10/record)", t.ours, t.ours / in,
         MBps(t.input, t.encode), MBps(t.input, t.decode));
  printf("%-22s %12zu %7.4f %12.2f %12.2f\n", "bzip2 -1 per piece", t.bzip2, t.bzip2 / in,
         MBps(t.input, t.bzEncode), MBps(t.input, t.bzDecode));
  printf("%-22s %12zu %7.4f %12.2f\n", "bzip2 -1 whole files", t.bzip2Whole, t.bzip2Whole / in,
         MBps(t.input, t.bzWholeEncode));
  printf("codec / bzip2 per piece: size %.3f, encode speed %.3f, decode speed %.3f\n",
         static_cast<double>(t.ours) / t.bzip2, t.bzEncode / t.encode, t.bzDecode / t.decode);
  printf("round-trip mismatches: %zu\n", t.mismatches);
  static const char* kEncode[] = {"run-length (both forms)", "block sort", "move-to-front",
                                  "huffman"};
  static const char* kDecode[] = {"huffman", "move-to-front", "block sort", "run-length"};
  printf("\nencode stages, single thread, both forms (MB/s of input):\n");
  for (int i = 0; i < 4; ++i) printf("  %-24s %10.2f\n", kEncode[i], MBps(t.input, s.encode[i]));
  printf("decode stages (MB/s of input):\n");
  for (int i = 0; i < 4; ++i) printf("  %-24s %10.2f\n", kDecode[i], MBps(t.input, s.decode[i]));
  printf("\n%-16s %12s %8s %8s\n", "folder", "bytes", "codec", "bzip2");
  for (const auto& [name, g] : groups) {
    if (g.input == 0) continue;
    printf("%-16s %12zu %8.4f %8.4f\n", name.c_str(), g.input,
           static_cast<double>(g.ours) / g.input, static_cast<double>(g.bzip2) / g.input);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: codec_bench DIR [--block-size N]\n");
    return 2;
  }
  size_t blockSize = 65000;
  if (argc == 4 && strcmp(argv[2], "--block-size") == 0) blockSize = strtoul(argv[3], nullptr, 10);
  if (blockSize == 0 || blockSize + kExpansionOverhead > kFileBlockCapacity) {
    fprintf(stderr, "codec_bench: block size must be 1..%u\n", kFileBlockCapacity - 5);
    return 2;
  }
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(argv[1])) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());

  Totals totals;
  StageTimes stages;
  std::map<std::string, Totals> groups;  // by the first folder below DIR
  for (const fs::path& path : files) {
    const Bytes file = ReadFile(path);
    const std::string group = fs::relative(path, argv[1]).begin()->string();
    Totals& g = groups[group];
    for (size_t offset = 0; offset < file.size(); offset += blockSize) {
      const size_t length = std::min(blockSize, file.size() - offset);
      const size_t oursBefore = totals.ours, bzip2Before = totals.bzip2;
      MeasureOurs(file.data() + offset, length, &totals);
      MeasureBzip2(file.data() + offset, length, &totals);
      MeasureStages(file.data() + offset, length, &stages);
      ++totals.pieces;
      g.input += length;
      g.ours += totals.ours - oursBefore;
      g.bzip2 += totals.bzip2 - bzip2Before;
    }
    totals.input += file.size();
    if (!file.empty()) MeasureBzip2WholeFile(file, &totals);
  }
  printf("codec_bench %s: %zu files, pieces of %zu bytes\n", argv[1], files.size(), blockSize);
  if (totals.input == 0) return 0;
  PrintReport(totals, stages, groups);
  return 0;
}
