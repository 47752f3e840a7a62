#include "cindra/Error.hpp"
#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using cindra::util::DataReader;
using cindra::util::DataWriter;

TEST(DataReader, ReadsWhatTheWriterWroteLittleEndian) {
    std::ostringstream out;
    DataWriter writer(out);
    writer.writeInt32(-2);
    writer.writeUint32(0x01020304u);
    writer.writeUint8(0xAB);
    writer.writeText("hi");
    writer.writeText("");
    EXPECT_EQ(out.str(),
              std::string("\xFE\xFF\xFF\xFF\x04\x03\x02\x01\xAB\x02\0\0\0hi\0\0\0\0", 19));
    std::istringstream in(out.str());
    DataReader reader(in, "d.bin");
    EXPECT_EQ(reader.remaining(), 19u);
    EXPECT_EQ(reader.readInt32(), -2);
    EXPECT_EQ(reader.readUint32(), 0x01020304u);
    EXPECT_EQ(reader.readUint8(), 0xAB);
    EXPECT_EQ(reader.readText(), "hi");
    EXPECT_EQ(reader.readText(), "");
    EXPECT_EQ(reader.remaining(), 0u);
    char buffer[4];
    EXPECT_EQ(reader.readSome(buffer, 4), 0u);
}

TEST(DataReader, ErrorsNameTheFileAndContext) {
    std::istringstream in(std::string("\x05\0\0\0ab", 6));
    DataReader reader(in, "d.bin");
    reader.setContext("chunk TEST");
    try {
        reader.readText();
        FAIL();
    } catch (const cindra::Error& e) {
        EXPECT_STREQ(e.what(), "File d.bin has a text length 5 larger than the rest of the file "
                               "can hold in chunk TEST.");
    }
    std::istringstream shortIn("abc");
    DataReader shortReader(shortIn, "s.bin");
    EXPECT_THROW(shortReader.readInt32(), cindra::Error);
    std::istringstream skipIn("abc");
    DataReader skipReader(skipIn, "s.bin");
    EXPECT_THROW(skipReader.skip(4), cindra::Error);
    skipReader.skip(3);
    EXPECT_EQ(skipReader.remaining(), 0u);
}

TEST(DataReader, CountsAreCheckedAgainstWhatIsLeft) {
    std::istringstream in(std::string("\x02\0\0\0", 4) + std::string(8, 'x'));
    DataReader reader(in, "c.bin");
    EXPECT_EQ(reader.readCount("count", 4), 2);
    std::istringstream in2(std::string("\x03\0\0\0", 4) + std::string(8, 'x'));
    DataReader reader2(in2, "c.bin");
    EXPECT_THROW(reader2.readCount("count", 4), cindra::Error);
    std::istringstream in3(std::string("\xFF\xFF\xFF\xFF", 4));
    DataReader reader3(in3, "c.bin");
    EXPECT_THROW(reader3.readCount("count", 0), cindra::Error);
}
