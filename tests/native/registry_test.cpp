// Registry access against the in-memory registry: what is written, what
// reads back, and what failures leave behind.

#include <gtest/gtest.h>

#include "setup/mdl_registry.h"
#include "tests/native/fake_platform.h"

namespace {

constexpr RegKey kRoot = platform::Registry::kLocalMachine;

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { CreateRegKey(registry, kRoot, "SOFTWARE\\Vorlane"); }
  void TearDown() override {
    EXPECT_EQ(registry.openHandles(), 0);
    EXPECT_EQ(registry.accesses, std::set<std::uint32_t>{kRegAccess});
  }
  std::string read(const std::string& name) {
    return ReadRegValue(registry, kRoot, "SOFTWARE\\Vorlane", name);
  }
  FakeRegistry registry;
};

}  // namespace

TEST_F(Registry, AStringReadsBackWithExactlyOneNulHoweverItWasStored) {
  const std::string tools = "C:\\Tools\\";
  for (bool storeTerminator : {true, false}) {
    registry.storeTerminator = storeTerminator;
    EXPECT_EQ(WriteRegValue(registry, kRoot, "SOFTWARE\\Vorlane", "Location", tools), 0);
    // The characters go in as written, without a terminator of their own.
    EXPECT_EQ(registry.keys["SOFTWARE\\Vorlane"]["Location"].text,
              storeTerminator ? tools + '\0' : tools);
    EXPECT_EQ(read("Location"), tools + '\0') << "stored terminator: " << storeTerminator;
  }
  auto& values = registry.keys["SOFTWARE\\Vorlane"];
  values["Two"].text = std::string("C:\\A\\\0\0", 7);
  values["Empty"].text = "";
  EXPECT_EQ(read("Two"), std::string("C:\\A\\\0", 6));
  EXPECT_EQ(read("Empty"), std::string(1, '\0'));
}

TEST_F(Registry, MissingOrForeignValuesReadEmptyAndCreateNothing) {
  auto before = registry.keys;
  EXPECT_EQ(read("Location"), "");
  EXPECT_EQ(ReadRegValue(registry, kRoot, "SOFTWARE\\Nowhere", "Location"), "");
  EXPECT_EQ(registry.keys, before);

  registry.keys["SOFTWARE\\Vorlane"]["Binary"] = {3, "xy"};
  RegKey key = 0;
  registry.OpenKey(kRoot, "SOFTWARE\\Vorlane", kRegAccess, key);
  std::string value = "kept";
  EXPECT_EQ(ReadValueData(registry, key, "Binary", value), -1);
  EXPECT_EQ(value, "kept");
  EXPECT_NE(ReadValueData(registry, key, "Missing", value), 0);
  EXPECT_EQ(value, "kept");
  registry.CloseKey(key);
}

TEST_F(Registry, RefusedWritesReturnTheSystemsCode) {
  registry.refuseWrites = true;
  EXPECT_EQ(CreateRegKey(registry, kRoot, "SOFTWARE\\Other"), 5);
  EXPECT_EQ(WriteRegValue(registry, kRoot, "SOFTWARE\\Vorlane", "Location", "C:\\"), 5);
  EXPECT_FALSE(registry.keys.contains("SOFTWARE\\Other"));
  EXPECT_FALSE(registry.keys["SOFTWARE\\Vorlane"].contains("Location"));
}
