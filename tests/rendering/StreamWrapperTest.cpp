// The adapter that lets SFML's image decoder read standard streams.
#include "rendering/StreamWrapperForSFML.hpp"

#include <gtest/gtest.h>

#include <sstream>

using vorn::rendering::StreamWrapperForSFML;

TEST(StreamWrapperForSFML, ReadsSeeksTellsAndMeasuresWithoutLosingItsPlace) {
    std::istringstream in(std::string("0123456789"));
    StreamWrapperForSFML stream(in);
    char buffer[4] = {};
    EXPECT_EQ(stream.read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "012");
    EXPECT_EQ(stream.tell(), 3);
    EXPECT_EQ(stream.getSize(), 10);
    EXPECT_EQ(stream.tell(), 3); // measuring keeps the position
    EXPECT_EQ(stream.seek(8), 8);
    // A read past the end returns what was there, and the stream stays usable afterwards.
    EXPECT_EQ(stream.read(buffer, 4), 2);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(stream.read(buffer, 4), 0);
    EXPECT_EQ(stream.seek(1), 1);
    EXPECT_EQ(stream.read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '1');
}

TEST(StreamWrapperForSFML, WithoutAStreamEveryOperationSaysSo) {
    StreamWrapperForSFML none(std::unique_ptr<std::istream>{});
    char c;
    EXPECT_EQ(none.read(&c, 1), -1);
    EXPECT_EQ(none.seek(3), 0);
    EXPECT_EQ(none.tell(), 0);
    EXPECT_EQ(none.getSize(), -1);
}

TEST(StreamWrapperForSFML, OwnsAStreamHandedToIt) {
    StreamWrapperForSFML owned(std::make_unique<std::istringstream>("abc"));
    EXPECT_EQ(owned.getSize(), 3);
    char buffer[3];
    EXPECT_EQ(owned.read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
}
