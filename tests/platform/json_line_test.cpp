// The JSON writer that the driver's state dump and the score server share.
#include "platform/json_line.hpp"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(JsonLineTest, PlacesCommasAndEscapes) {
  platform::JsonLine json;
  json.beginObject()
      .field("tick", 3)
      .field("ok", true)
      .field("name", std::string("A\"B\\C\n"))
      .key("list")
      .beginArray()
      .beginArray()
      .value(1)
      .value(-2)
      .endArray()
      .beginObject()
      .endObject()
      .endArray()
      .endObject();
  EXPECT_EQ(json.text(), R"({"tick":3,"ok":true,"name":"A\"B\\C\u000a","list":[[1,-2],{}]})");
}

}  // namespace
