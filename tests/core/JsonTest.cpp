#include "core/Json.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(Json, StringsEscapeAndMapLatin1ToUtf8)
{
    EXPECT_EQ(JsonString(""), "\"\"");
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString(std::string("\r\n\t\x01\x7f", 5)), "\"\\r\\n\\t\\u0001\\u007f\"");
    EXPECT_EQ(JsonString(std::string("\0x", 2)), "\"\\u0000x\"");
    EXPECT_EQ(JsonString("\xb0"
                         "C \xff"),
        "\"\xc2\xb0"
        "C \xc3\xbf\"");
}

TEST(Json, NumbersReadBackExactly)
{
    EXPECT_EQ(JsonNumber(0.0), "0");
    EXPECT_EQ(JsonNumber(-0.0), "0");
    EXPECT_EQ(JsonNumber(48.1173), "48.1173");
    EXPECT_EQ(JsonNumber(-12), "-12");
    EXPECT_EQ(std::stod(JsonNumber(1.0 / 3.0)), 1.0 / 3.0);
    EXPECT_EQ(JsonNumber(1e300 * 1e10), "null");
}

TEST(Json, ObjectsKeepTheMemberOrderAndEscapeOnce)
{
    std::string line = "prefix ";
    {
        JsonObject o(line);
        o.text("Name", "A \"B\"\t\xb0");
        o.integer("MMSI", -235000001);
        o.number("Lat", 50.25);
        o.flag("RAIM", true);
        o.flag("Spare", false);
        o.close();
        o.close(); // closing twice, or again when the writer goes, adds nothing
    }
    EXPECT_EQ(line,
        "prefix {\"Name\":\"A \\\"B\\\"\\t\xc2\xb0\",\"MMSI\":-235000001,\"Lat\":50.25,\"RAIM\":true,\"Spare\":false}");
    std::string empty;
    JsonObject(empty).close();
    EXPECT_EQ(empty, "{}");
}
