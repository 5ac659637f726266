#include "skype/contact_list.h"

#include "platform/sim/sim_collator.h"
#include "test_support.h"

namespace vocastra {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Order(const CContactList& list) {
    std::vector<CContactInfo> v;
    list.CopyContactList(v);
    std::vector<std::string> out;
    for (const auto& c : v)
        out.push_back(c.strHandle);
    return out;
}

struct Contacts : ::testing::Test {
    SimpleCollator collator;
    CContactList list{collator};
};

TEST_F(Contacts, GroupsThenNames) {
    list.ModifyOnlineStatus("zed", "ONLINE");
    list.ModifyOnlineStatus("off", "OFFLINE");
    list.ModifyOnlineStatus("+372", "SKYPEOUT");
    list.ModifyOnlineStatus("Amy", "AWAY");
    list.ModifyOnlineStatus("bob", "DND");
    list.ModifyOnlineStatus("+1", "SKYPEOUT");
    list.ModifyOnlineStatus("abe", "OFFLINE");
    EXPECT_THAT(Order(list), ElementsAre("Amy", "bob", "zed", "+1", "+372", "abe", "off"));

    // Going offline moves a contact to its place in the last group.
    list.ModifyOnlineStatus("bob", "OFFLINE");
    EXPECT_THAT(Order(list), ElementsAre("Amy", "zed", "+1", "+372", "abe", "bob", "off"));
    // A new name re-sorts within the group.
    list.ModifyDisplayName("zed", "Aaron", 0);
    EXPECT_THAT(Order(list), ElementsAre("zed", "Amy", "+1", "+372", "abe", "bob", "off"));
}

TEST_F(Contacts, NewContactsAndUnknownStatusWords) {
    list.ModifyOnlineStatus("alice", "ONLINE");
    const auto alice = list.FindContact("alice");
    ASSERT_TRUE(alice);
    EXPECT_EQ(alice->strDisplayName, "alice");
    EXPECT_EQ(alice->nOnlineStatus, 2);
    list.ModifyOnlineStatus("alice", "INVISIBLE");
    EXPECT_EQ(list.FindContact("alice")->nOnlineStatus, 2);
    list.ModifyOnlineStatus("carl", "INVISIBLE");
    EXPECT_EQ(list.FindContact("carl")->nOnlineStatus, kOnlineStatusOffline);
    // A name first: the contact starts offline.
    list.ModifyDisplayName("dora", "Dora", 0);
    EXPECT_EQ(list.FindContact("dora")->nOnlineStatus, kOnlineStatusOffline);
    EXPECT_EQ(list.GetCount(), 3);
    list.RemoveContact("nobody");
    list.RemoveContact("alice");
    EXPECT_FALSE(list.FindContact("alice"));
    EXPECT_FALSE(list.FindContact("ALICE"));
}

TEST_F(Contacts, EqualNamesKeepArrivalOrderAndLongNamesCompareOnTheirStart) {
    const std::string longA = std::string(199, 'x') + "b";
    const std::string longB = std::string(199, 'x') + "a";
    list.ModifyDisplayName("one", longA, 0);
    list.ModifyDisplayName("two", longB, 0);
    list.ModifyDisplayName("three", "same", 0);
    list.ModifyDisplayName("four", "SAME", 0);
    EXPECT_THAT(Order(list), ElementsAre("three", "four", "one", "two"));
}

// A status the list already holds puts the contact where taking it out and
// inserting it again would: behind the others of its group with an equal
// name, in place when it is already the last of them.
TEST_F(Contacts, RepeatedStatusKeepsTheOrderOfATakeAndInsert) {
    list.ModifyDisplayName("b1", "Bob", 0);
    list.ModifyDisplayName("b2", "bob", 0);
    list.ModifyDisplayName("al", "Al", 0);
    list.ModifyDisplayName("cy", "Cy", 0);
    for (const char* h : {"b1", "b2", "al", "cy"})
        list.ModifyOnlineStatus(h, "ONLINE");
    list.ModifyOnlineStatus("zz", "OFFLINE");
    EXPECT_THAT(Order(list), ElementsAre("al", "b1", "b2", "cy", "zz"));

    list.ModifyOnlineStatus("b1", "ONLINE");  // an equal name follows: it moves behind it
    EXPECT_THAT(Order(list), ElementsAre("al", "b2", "b1", "cy", "zz"));
    list.ModifyOnlineStatus("b1", "ONLINE");  // the last of the equal names: stays
    list.ModifyOnlineStatus("cy", "ONLINE");  // the last of its group: stays
    list.ModifyOnlineStatus("zz", "OFFLINE");
    list.ModifyOnlineStatus("al", "BOGUS");  // a word that changes nothing
    EXPECT_THAT(Order(list), ElementsAre("al", "b2", "b1", "cy", "zz"));
    list.ModifyOnlineStatus("al", "AWAY");  // same group, another status
    EXPECT_EQ(list.FindContact("al")->nOnlineStatus, 3);
    list.ModifyOnlineStatus("b2", "SKYPEOUT");
    EXPECT_THAT(Order(list), ElementsAre("al", "b1", "cy", "b2", "zz"));
}

}  // namespace
}  // namespace vocastra
