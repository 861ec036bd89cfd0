#include <gtest/gtest.h>

#include "catalogue/CMenus.h"
#include "config/CConfiguration.h"

namespace tamsel {
namespace {

std::shared_ptr<CChoice> Choice(const std::string& name, bool active = false) {
    auto choice = std::make_shared<CChoice>();
    choice->Tuple(name, "/" + name);
    choice->Active(active);
    return choice;
}

std::shared_ptr<CMenu> Menu(std::initializer_list<std::shared_ptr<CChoice>> choices) {
    auto menu = std::make_shared<CMenu>();
    for (const auto& choice : choices)
        menu->add(choice);
    return menu;
}

TEST(CMenusFlatten, SharesTheChoicesInCatalogueOrder) {
    CMenus menus;
    EXPECT_TRUE(menus.flattenMenus()->asCollection().empty());
    menus.add(Menu({Choice("a"), Choice("b")}));
    menus.add(Menu({Choice("c"), Choice("d"), Choice("e")}));
    menus.asCollection()[0]->Caption("first");
    menus.asCollection()[0]->Force(2);

    const auto flat = menus.flattenMenus();
    std::string order;
    for (const auto& choice : flat->asCollection())
        order += choice->Choice();
    ASSERT_EQ(order, "abcde");
    EXPECT_EQ(flat->Caption(), "");
    EXPECT_EQ(flat->Force(), 0);
    flat->asCollection()[3]->Active(true);
    EXPECT_TRUE(menus.asCollection()[1]->asCollection()[1]->Active());
}

TEST(CMenusHistory, PromotesExactMatchesFromEveryHistoricalLine) {
    CConfiguration local;
    CSetting comment;
    comment.Comment("historical=\"Sales\"");
    local.add(comment);
    local.add(CConfiguration::Setting("historical", "sales"));
    local.add(CConfiguration::Setting("Historical", "Charts"));
    local.add(CConfiguration::Setting("historical", "Marketing"));
    local.add(CConfiguration::Setting("historical", "Extras"));

    CMenus menus;
    const auto sales = Choice("Sales"), marketing = Choice("Marketing"), charts = Choice("Charts"),
               extras = Choice("Extras", true);
    menus.add(Menu({sales, marketing}));
    menus.add(Menu({charts, extras}));

    menus.promoteHistorical(local);
    EXPECT_FALSE(sales->Active()) << "letter case differs";
    EXPECT_FALSE(sales->Historical());
    EXPECT_TRUE(marketing->Active()) << "found on a later historical line";
    EXPECT_TRUE(marketing->Historical());
    EXPECT_FALSE(charts->Active()) << "key must be exactly historical";
    EXPECT_TRUE(extras->Active());
    EXPECT_FALSE(extras->Historical()) << "an active choice is left alone";
}

}  // namespace
}  // namespace tamsel
