#include <gtest/gtest.h>
#include <boost/regex.hpp>
#include <zlib.h>
TEST(Smoke, Toolchain) { EXPECT_TRUE(boost::regex_match(std::string("ab"), boost::regex("a."))); EXPECT_NE(zlibVersion(), nullptr); }
