// Registry access against the in-memory registry: what is written, what
// reads back, and what failures leave behind.

#include <gtest/gtest.h>

#include "setup/mdl_registry.h"
#include "tests/native/fake_platform.h"

namespace {

constexpr RegKey kRoot = platform::Registry::kLocalMachine;
constexpr std::uint32_t kString = platform::Registry::kString;
constexpr std::uint32_t kNumber = platform::Registry::kNumber;

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { CreateRegKey(registry, kRoot, "SOFTWARE\\Vorlane"); }
  void TearDown() override {
    EXPECT_EQ(registry.openHandles(), 0);
    EXPECT_EQ(registry.accesses, std::set<std::uint32_t>{kRegAccess});
  }
  RegValue read(const std::string& name) {
    return ReadRegValue(registry, kRoot, "SOFTWARE\\Vorlane", name);
  }
  FakeRegistry registry;
};

}  // namespace

TEST_F(Registry, AStringWrittenReadsBackWithExactlyOneNul) {
  const std::string tools = "C:\\Tools\\";
  for (bool storeTerminator : {true, false}) {
    registry.storeTerminator = storeTerminator;
    EXPECT_EQ(WriteRegValue(registry, kRoot, "SOFTWARE\\Vorlane", "Location", tools, kString), 0);
    // The characters go in as written, without a terminator of their own.
    EXPECT_EQ(registry.keys["SOFTWARE\\Vorlane"]["Location"].text,
              storeTerminator ? tools + '\0' : tools);
    EXPECT_EQ(read("Location"), RegValue(tools + '\0')) << "stored terminator: " << storeTerminator;
  }
}

TEST_F(Registry, ValuesStoredWithSeveralOrNoTerminatorsReadAsTextAndOneNul) {
  auto& values = registry.keys["SOFTWARE\\Vorlane"];
  values["Two"].text = std::string("C:\\A\\\0\0", 7);
  values["Empty"].text = "";
  EXPECT_EQ(read("Two"), RegValue(std::string("C:\\A\\\0", 6)));
  EXPECT_EQ(read("Empty"), RegValue(std::string(1, '\0')));
}

TEST_F(Registry, NumbersReadAsNumbers) {
  EXPECT_EQ(WriteRegValue(registry, kRoot, "SOFTWARE\\Vorlane", "Count", std::uint32_t{42}, kNumber),
            0);
  EXPECT_EQ(WriteRegValue(registry, kRoot, "SOFTWARE\\Vorlane", "Text", std::string("7"), kNumber),
            0);
  EXPECT_EQ(read("Count"), RegValue(std::uint32_t{42}));
  EXPECT_EQ(read("Text"), RegValue(std::uint32_t{7}));
  EXPECT_EQ(RegValueText(read("Count")), "42");
  EXPECT_NE(WriteRegValue(registry, kRoot, "SOFTWARE\\Vorlane", "Bad", std::string("x"), kNumber), 0);
  EXPECT_FALSE(registry.keys["SOFTWARE\\Vorlane"].contains("Bad"));
}

TEST_F(Registry, MissingOrForeignValuesReadEmptyAndCreateNothing) {
  auto before = registry.keys;
  EXPECT_EQ(read("Location"), RegValue());
  EXPECT_EQ(ReadRegValue(registry, kRoot, "SOFTWARE\\Nowhere", "Location"), RegValue());
  EXPECT_EQ(registry.keys, before);

  registry.keys["SOFTWARE\\Vorlane"]["Binary"] = {3, "xy", 0};
  RegKey key = 0;
  registry.OpenKey(kRoot, "SOFTWARE\\Vorlane", kRegAccess, key);
  RegValue value = std::string("kept");
  EXPECT_EQ(ReadValueData(registry, key, "Binary", value), -1);
  EXPECT_EQ(value, RegValue(std::string("kept")));
  EXPECT_NE(ReadValueData(registry, key, "Missing", value), 0);
  EXPECT_EQ(value, RegValue(std::string("kept")));
  // Types other than string and number write nothing.
  EXPECT_EQ(WriteValueData(registry, key, "Other", 3, std::string("z")), 0);
  EXPECT_FALSE(registry.keys["SOFTWARE\\Vorlane"].contains("Other"));
  registry.CloseKey(key);
}

TEST_F(Registry, RefusedWritesReturnTheSystemsCode) {
  registry.refuseWrites = true;
  EXPECT_EQ(CreateRegKey(registry, kRoot, "SOFTWARE\\Other"), 5);
  EXPECT_EQ(WriteRegValue(registry, kRoot, "SOFTWARE\\Vorlane", "Location", std::string("C:\\"),
                          kString),
            5);
  EXPECT_FALSE(registry.keys.contains("SOFTWARE\\Other"));
  EXPECT_FALSE(registry.keys["SOFTWARE\\Vorlane"].contains("Location"));
}
