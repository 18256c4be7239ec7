// The simulator's result pages carry each engine's block structure, so the
// checker names the corpus documents as sources.
#include <gtest/gtest.h>

#include "app/search_sim/result_page.h"
#include "check/result_blocks.h"
#include "services/conversions.h"
#include "services/encoding.h"

namespace oc::sim {
namespace {

TEST(PageSources, EachFormShowsItsResultsAsTheEngineDoes) {
    Document tea{"tea notes.txt", U"老城的<茶馆> &",
                 U"跑堂的伙计提着长嘴铜壶，隔着半张桌子往碗里续水。"};
    Document inn{"客栈.txt", U"客栈", U"跑堂的伙计"};
    ResultPage page;
    page.query = "跑堂的伙计提着长嘴铜壶";
    page.queryKeys = matchKeys(U"跑堂的伙计提着长嘴铜壶");
    page.total = 2;
    page.documents = {&tea, &inn};
    struct Case {
        EngineForm form;
        const ResultBlockForm& blocks;
        const ResultBlockForm& other;
        const char* queryUrl;
    };
    for (const Case& c : {Case{EngineForm::Baidu, baiduBlockForm(), blockForm360(),
                               "http://127.0.0.1:8000/s?wd=%C5%DC&rn=20&lm=0"},
                          Case{EngineForm::So360, blockForm360(), baiduBlockForm(),
                               "http://127.0.0.1:8000/s?q=x&pn=1"}}) {
        page.form = c.form;
        const Text text =
            toText(convertEncoding(ByteSet(renderResultPage(page)), "UTF-8", "GB18030"));
        std::vector<ResultBlock> blocks = findResultBlocks(text, c.blocks, c.queryUrl);
        ASSERT_EQ(blocks.size(), 2u);
        EXPECT_EQ(blocks[0].title, "老城的<茶馆> &");
        EXPECT_EQ(blocks[0].address, "http://corpus.local/tea%20notes.txt");
        EXPECT_EQ(blocks[0].domain, "corpus.local");
        EXPECT_EQ(blocks[1].address, displayUrl("客栈.txt"));
        // The highlighted title run lies inside the first block.
        EXPECT_EQ(blockHolding(blocks, text.find("<em>")), 0);
        // The other engine's form finds nothing here.
        EXPECT_TRUE(findResultBlocks(text, c.other, c.queryUrl).empty());
    }
}

}  // namespace
}  // namespace oc::sim
