// Exercises the third-party libraries as built by cmake/ThirdParty.cmake.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <json/json.h>
#include <minizip/unzip.h>
#include <tinyxml.h>

#include "gmock/gmock.h"
#include "gtest/gtest.h"

namespace {

TEST(ThirdPartyTest, JsonCppParsesObjectWithComment) {
  const std::string text =
      "{\n"
      "  // publisher's package description\n"
      "  \"name\": \"Velmora\",\n"
      "  \"version\": \"1.0.0.1\",\n"
      "  \"size\": 5000000000\n"
      "}\n";
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  ASSERT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root,
                            &errors))
      << errors;
  EXPECT_EQ("Velmora", root["name"].asString());
  EXPECT_EQ("1.0.0.1", root["version"].asString());
  EXPECT_EQ(5000000000LL, root["size"].asInt64());
  EXPECT_FALSE(root.isMember("url"));

  Json::Value broken;
  const std::string bad = "{\"name\": }";
  EXPECT_FALSE(reader->parse(bad.data(), bad.data() + bad.size(), &broken,
                             &errors));
}

TEST(ThirdPartyTest, TinyXmlReadsIntegerAttribute) {
  TiXmlDocument doc;
  doc.Parse(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
      "<skin><window width=\"640\" height=\"480\" title=\"Velmora\"/></skin>",
      nullptr, TIXML_ENCODING_UTF8);
  ASSERT_FALSE(doc.Error()) << doc.ErrorDesc();
  TiXmlElement* window = doc.RootElement()->FirstChildElement("window");
  ASSERT_NE(nullptr, window);
  int width = 0;
  int height = 0;
  EXPECT_EQ(TIXML_SUCCESS, window->QueryIntAttribute("width", &width));
  EXPECT_EQ(TIXML_SUCCESS, window->QueryIntAttribute("height", &height));
  EXPECT_EQ(640, width);
  EXPECT_EQ(480, height);
  int title = 0;
  EXPECT_EQ(TIXML_WRONG_TYPE, window->QueryIntAttribute("title", &title));
  EXPECT_EQ(TIXML_NO_ATTRIBUTE, window->QueryIntAttribute("depth", &title));
}

TEST(ThirdPartyTest, MinizipReadsZip64ArchiveFromInfoZip) {
  const char* path = std::getenv("ORV_TEST_ZIP");
  ASSERT_NE(nullptr, path) << "ORV_TEST_ZIP is not set";
  unzFile zip = unzOpen64(path);
  ASSERT_NE(nullptr, zip) << path;

  ASSERT_EQ(UNZ_OK, unzLocateFile(zip, "docs/hello.txt", 0));
  unz_file_info64 info;
  char name[256];
  ASSERT_EQ(UNZ_OK, unzGetCurrentFileInfo64(zip, &info, name, sizeof(name),
                                            nullptr, 0, nullptr, 0));
  EXPECT_STREQ("docs/hello.txt", name);
  const std::string expected = "Velmora third-party check\n";
  EXPECT_EQ(expected.size(), info.uncompressed_size);

  ASSERT_EQ(UNZ_OK, unzOpenCurrentFile(zip));
  std::vector<char> buffer(info.uncompressed_size + 16);
  int read = unzReadCurrentFile(zip, buffer.data(),
                                static_cast<unsigned>(buffer.size()));
  ASSERT_EQ(static_cast<int>(expected.size()), read);
  EXPECT_EQ(expected, std::string(buffer.data(), read));
  EXPECT_EQ(UNZ_OK, unzCloseCurrentFile(zip));

  EXPECT_EQ(UNZ_END_OF_LIST_OF_FILE, unzLocateFile(zip, "missing.txt", 0));
  EXPECT_EQ(UNZ_OK, unzClose(zip));
}

}  // namespace
