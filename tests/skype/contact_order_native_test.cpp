// The system collator orders accented names as people read them, which
// byte order does not.
#include "platform/sim/sim_collator.h"
#include "skype/contact_list.h"
#include "test_support.h"

namespace vocastra {
namespace {

TEST(ContactOrder, AccentedNamesFollowTheLocale) {
    auto collator = MakeSystemCollator();
    CContactList list(*collator);
    list.ModifyDisplayName("e2", "emma", 0);
    list.ModifyDisplayName("e1", "\xc3\x89mile", 0);  // Émile
    list.ModifyDisplayName("z", "Zoe", 0);
    list.ModifyDisplayName("o", "\xc3\x96sten", 0);  // Östen
    std::vector<CContactInfo> v;
    list.CopyContactList(v);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].strHandle, "e1");
    EXPECT_EQ(v[1].strHandle, "e2");
    EXPECT_EQ(v[2].strHandle, "o");
    EXPECT_EQ(v[3].strHandle, "z");
}

}  // namespace
}  // namespace vocastra
