#include "check/ignore_list.h"

#include <gtest/gtest.h>

#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

TEST(IgnoreList, EntriesAreSplitAndReducedToTheirDomain) {
    IgnoreList list;
    list.add(
        G("Example.COM， *.blog.cn、https://user:pw@News.Site.org:8080/path?q=1;.dot.net.\n"
          "  www.keep.cn,,  [::1]:80 10.0.0.1:8080 ；full.cn"));
    EXPECT_EQ(list.domains(),
              (std::vector<std::string>{"example.com", "blog.cn", "news.site.org", "dot.net",
                                        "www.keep.cn", "::1", "10.0.0.1", "full.cn"}));
    IgnoreList blank;
    blank.add(G(" ，、 ; "));
    blank.add("");
    EXPECT_TRUE(blank.empty());
    // Added again, an entry is kept once.
    list.add(G("example.com"));
    EXPECT_EQ(list.domains().size(), 8u);
}

// What the list would leave out, the parameter window refuses: entries with
// nothing left once reduced, or with characters no host name holds.
TEST(IgnoreList, EntriesThatNameNoSiteAreReportedAsWritten) {
    EXPECT_TRUE(unusableIgnoreEntries(G("example.com、*.博客.中国 [::1]:80 a_b.cn")).empty());
    EXPECT_EQ(unusableIgnoreEntries(G("ok.cn https:// *. 坏!站.cn， a=b.com ok2.cn")),
              (std::vector<std::string>{"https://", "*.", "坏!站.cn", "a=b.com"}));
    EXPECT_TRUE(unusableIgnoreEntries("").empty());
}

TEST(IgnoreList, HostsMatchTheirDomainAndSubdomainsOnly) {
    IgnoreList list;
    list.add("example.com www.keep.cn 10.0.0.1 0.1");
    EXPECT_TRUE(list.matches("example.com"));
    EXPECT_TRUE(list.matches("a.b.example.com"));
    EXPECT_FALSE(list.matches("notexample.com"));
    EXPECT_FALSE(list.matches("example.com.cn"));
    EXPECT_TRUE(list.matches("www.keep.cn"));
    EXPECT_FALSE(list.matches("keep.cn"));  // www. is part of the entry
    EXPECT_TRUE(list.matches("10.0.0.1"));
    EXPECT_FALSE(list.matches("10.10.0.1"));  // addresses match exactly, not by suffix
    EXPECT_FALSE(list.matches(""));
    EXPECT_FALSE(IgnoreList().matches("example.com"));
}

}  // namespace
}  // namespace oc
