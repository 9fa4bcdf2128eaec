#include <gtest/gtest.h>

#include "mock/fakes.h"
#include "retrieval/fetch_signboard.h"

namespace bolta {
namespace {

// "./" is the board's folder and "../" the host's root; anything else is the server's business.
TEST(ResolvePicturePath, replaces_only_the_one_leading_relative_prefix) {
  const BoardAddress at{"news", "host1:8080"};
  EXPECT_EQ(ResolvePicturePath("./a/../b.gif", at), "http://host1:8080/news/a/../b.gif");
  EXPECT_EQ(ResolvePicturePath(".././b.gif", at), "http://host1:8080/./b.gif");
  EXPECT_EQ(ResolvePicturePath("b/./c.gif", at), "b/./c.gif");
}

// Every later failure is a page (the loopback tests show which); this one is the caller's.
TEST(FetchSignboard, a_session_that_cannot_be_opened_throws_and_shows_no_page) {
  struct : SignboardPages {
    void ShowSignboardPage() override { ++shown; }
    void ShowMessagePage(const std::string&) override { ++shown; }
    int shown = 0;
  } pages;
  ClosedInternet internet;
  BoardAddress board;
  SignboardInfo info;
  EXPECT_THROW(FetchSignboard("http://h/test/read.cgi/b/1/", {}, internet, board, info, pages),
               InternetException);
  EXPECT_EQ(pages.shown, 0);
}

}  // namespace
}  // namespace bolta
