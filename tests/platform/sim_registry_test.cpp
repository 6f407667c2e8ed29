// The simulated registry: keys and values as the installer and uninstaller use them, and
// the text form that carries it from one simulated run to the next.
#include <string.h>

#include "platform/registry.h"
#include "platform_test_support.h"

namespace {

using namespace platform;

class SimRegistryTest : public platform_test::PlatformTest {};

TEST_F(SimRegistryTest, KeysAndValuesLiveAndDieAsOnWindows) {
  Key key = CreateKey(kRootLocalMachine, "Software\\Maker\\Product");
  ASSERT_NE(key, nullptr) << "missing keys above the last one are made";
  const char path[] = "C:\\Apps";
  const uint32_t count = 7;
  EXPECT_TRUE(SetValue(key, "Path", kRegText, path, sizeof path));
  EXPECT_TRUE(SetValue(key, "Count", kRegNumber, &count, 4));
  EXPECT_TRUE(SetValue(key, "", kRegText, "x", 2));
  CloseKey(key);

  key = OpenKey(kRootLocalMachine, "SOFTWARE\\maker\\PRODUCT", false);
  ASSERT_NE(key, nullptr);
  char text[16];
  uint32_t type = 0, size = sizeof text;
  ASSERT_TRUE(QueryValue(key, "path", &type, text, &size));
  EXPECT_EQ(type, kRegText);
  EXPECT_EQ(size, sizeof path);
  EXPECT_STREQ(text, path);
  size = 3;
  EXPECT_FALSE(QueryValue(key, "Path", &type, text, &size)) << "no room";
  EXPECT_EQ(size, sizeof path) << "the size needed is told";
  uint32_t subkeys = 9, values = 9;
  ASSERT_TRUE(QueryKeyCounts(key, &subkeys, &values));
  EXPECT_EQ(subkeys, 0u);
  EXPECT_EQ(values, 3u);
  EXPECT_FALSE(SetValue(key, "Path", kRegText, "y", 2)) << "opened for reading only";
  CloseKey(key);

  EXPECT_FALSE(DeleteKey(kRootLocalMachine, "Software\\Maker")) << "it has a subkey";
  key = OpenKey(kRootLocalMachine, "Software\\Maker\\Product", true);
  EXPECT_TRUE(DeleteKey(kRootLocalMachine, "software\\maker\\product"));
  EXPECT_FALSE(QueryValue(key, "Path", &type, text, &size)) << "the key is gone";
  CloseKey(key);
  EXPECT_TRUE(DeleteKey(kRootLocalMachine, "Software\\Maker"));
  EXPECT_EQ(OpenKey(kRootLocalMachine, "Software\\Maker", false), nullptr);

  machine.registry.DenyWrites("HKLM\\Software\\Locked");
  EXPECT_EQ(CreateKey(kRootLocalMachine, "Software\\Locked\\Below"), nullptr);
  EXPECT_NE(CreateKey(kRootCurrentUser, "Software\\Locked"), nullptr);

  CloseKey(reinterpret_cast<Key>(0x1));
  ASSERT_EQ(machine.errors.size(), 1u) << "closing a key that is not open is a fault";
  machine.errors.clear();
}

TEST_F(SimRegistryTest, TheTextFormIsStableAndReadsBack) {
  machine.registry.Load("");  // start from nothing
  Key key = CreateKey(kRootLocalMachine, "Software\\Maker\\Product");
  const uint8_t binary[] = {0x0a, 0x00, 0xff, 0x00};
  const uint32_t number = 0x12AB;
  SetValue(key, "Data", kRegBinary, binary, sizeof binary);
  SetValue(key, "count", kRegNumber, &number, 4);
  const char defaultText[] = "C:\\Path \"quoted\"\n\xA9";
  SetValue(key, "", kRegText, defaultText, sizeof defaultText);
  SetValue(key, "NoZero", kRegText, "ab", 2);
  SetValue(key, "Empty", kRegBinary, nullptr, 0);
  CloseKey(key);
  CloseKey(CreateKey(kRootCurrentUser, "Software\\Empty Key %"));

  const std::string dump = machine.registry.Dump();
  EXPECT_EQ(dump,
            "[HKEY_CURRENT_USER\\Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Empty Key %25]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Maker]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Maker\\Product]\n"
            "@=sz:\"C:\\\\Path \\\"quoted\\\"\\x0A\\xA9\"\n"
            "\"count\"=dword:000012ab\n"
            "\"Data\"=hex:0a,00,ff,00\n"
            "\"Empty\"=hex:\n"
            "\"NoZero\"=hex(1):61,62\n\n");

  sim::SimRegistry loaded;
  loaded.Load("; a comment\r\n" + dump);
  EXPECT_EQ(loaded.Dump(), dump);
  const sim::SimRegistryValue* value = loaded.Value("HKLM\\software\\maker\\product", "DATA");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->data, std::vector<uint8_t>(binary, binary + 4));
  EXPECT_EQ(loaded.Value("HKLM\\Software\\Maker\\Product", "NoZero")->type, kRegText);
  EXPECT_TRUE(loaded.HasKey("HKCU\\Software\\Empty Key %"));

  EXPECT_THROW(loaded.Load("\"v\"=sz:\"x\"\n"), std::runtime_error) << "a value before a key";
  EXPECT_THROW(loaded.Load("[HKLM\\K]\n\"v\"=hex:0g\n"), std::runtime_error);
  EXPECT_THROW(loaded.Load("[HKEY_NOWHERE\\K]\n"), std::runtime_error);
}

}  // namespace
