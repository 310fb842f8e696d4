// The text forms of module resources: string table, toolbar and menu.
#include "cadhost/resource_text.h"

#include <gtest/gtest.h>

namespace cadhost {
namespace {

TEST(ResourceText, StringTableUnescapesAndSkipsNonEntries) {
    auto table = parseStringTable("52774\tMerge Cells\\nMerge the selected cells\r\n"
                                  "# a comment\n"
                                  "\n"
                                  "no tab here\n"
                                  "x12\tnot a number\n"
                                  "7\tTab\\there, slash \\\\n stays, \\q kept\n"
                                  "8\t\n"
                                  "7\tlater wins");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[52774], "Merge Cells\nMerge the selected cells");
    EXPECT_EQ(table[7], "later wins");
    EXPECT_EQ(table[8], "");
    EXPECT_EQ(unescapeResourceText("a\\tb\\\\n\\q\\"), "a\tb\\n\\q\\");
}

TEST(ResourceText, ToolbarIdsSeparatorsAndComments) {
    auto ids = parseToolbarResource("# the table bar\n52765\n0   # separator\n\n 52774 \r\n");
    ASSERT_TRUE(ids);
    EXPECT_EQ(*ids, (std::vector<unsigned>{52765, 0, 52774}));

    std::string error;
    EXPECT_FALSE(parseToolbarResource("52765\n-4\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(parseToolbarResource("52765 52766\n", &error));
    EXPECT_EQ(parseToolbarResource("")->size(), 0u);
}

TEST(ResourceText, MenuNestsPopupsAndKeepsIds) {
    std::string error;
    auto items = parseMenuResource("11112 MENU\n"
                                   "BEGIN\n"
                                   "  POPUP \"Table\"\n"
                                   "  BEGIN\n"
                                   "    MENUITEM \"Insert &Rows\\tCtrl+R\", 32770\n"
                                   "    MENUITEM SEPARATOR\n"
                                   "    POPUP \"More \"\"quoted\"\"\" // nested\n"
                                   "      MENUITEM \"Delete\", 32771, GRAYED\n"
                                   "    END\n"
                                   "  END\n"
                                   "  MENUITEM \"Top level\", 5\n"
                                   "END\n",
                                   &error);
    ASSERT_TRUE(items) << error;
    ASSERT_EQ(items->size(), 2u);
    const MenuResourceItem& popup = (*items)[0];
    EXPECT_EQ(popup.kind, MenuResourceItem::Kind::Popup);
    EXPECT_EQ(popup.text, "Table");
    ASSERT_EQ(popup.children.size(), 3u);
    EXPECT_EQ(popup.children[0].text, "Insert &Rows\tCtrl+R");
    EXPECT_EQ(popup.children[0].id, 32770u);
    EXPECT_EQ(popup.children[1].kind, MenuResourceItem::Kind::Separator);
    EXPECT_EQ(popup.children[2].text, "More \"quoted\"");
    ASSERT_EQ(popup.children[2].children.size(), 1u);
    EXPECT_EQ(popup.children[2].children[0].id, 32771u);
    EXPECT_EQ((*items)[1].id, 5u);
}

TEST(ResourceText, MenuWithoutBeginBlocks) {
    auto items = parseMenuResource("POPUP \"A\"\n  MENUITEM \"x\", 1\nEND\nMENUITEM \"y\", 2\n");
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].children.at(0).id, 1u);
    EXPECT_EQ((*items)[1].text, "y");
}

TEST(ResourceText, MalformedMenusAreRefusedWithTheLine) {
    std::string error;
    EXPECT_FALSE(parseMenuResource("POPUP \"A\"\n MENUITEM \"x\", 1\n", &error));
    EXPECT_NE(error.find("no END"), std::string::npos) << error;
    EXPECT_FALSE(parseMenuResource("MENUITEM \"x\", 1\nEND\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(parseMenuResource("MENUITEM \"x\" 1\n", &error));
    EXPECT_FALSE(parseMenuResource("MENUITEM \"x\", abc\n", &error));
    EXPECT_FALSE(parseMenuResource("MENUITEM \"unterminated, 1\n", &error));
    EXPECT_FALSE(parseMenuResource("POPUP Table\nEND\n", &error));
    EXPECT_FALSE(parseMenuResource("BUTTON \"x\", 1\n", &error));
    EXPECT_NE(error.find("BUTTON"), std::string::npos) << error;
}

} // namespace
} // namespace cadhost
