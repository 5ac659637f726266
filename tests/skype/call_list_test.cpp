#include "skype/call_list.h"

#include "platform/sim/fake_clock.h"
#include "test_support.h"

namespace vocastra {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Ids(const std::vector<CCallObject>& v) {
    std::vector<std::string> out;
    for (const auto& r : v)
        out.push_back(r.szCallId);
    return out;
}

void Put(CCallList& list, const std::string& id, int type, const std::string& status) {
    list.Update(id, [&](CCallObject& r) {
        r.nType = type;
        r.szStatus = status;
    });
}

TEST(CallList, FindOrCreateAppendsOneFreshRecord) {
    CCallList list;
    const CCallObject r = list.GetCallObject("7");
    list.GetCallObject("7");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(r.szCallId, "7");
    EXPECT_EQ(r.nType, E_TYPE_UNKNOWN);
    EXPECT_EQ(r.nTimestamp, 0);
    EXPECT_TRUE(r.szStatus.empty());
}

TEST(CallList, HistoryIsBoundedAndKeepsLiveCalls) {
    // A day of calls: the list stops growing at its bound, the oldest
    // history goes first, and the ringing and the talking call stay however
    // old they are.
    CCallList list;
    Put(list, "ringing", E_TYPE_INCOMING_P2P, "RINGING");
    Put(list, "talking", E_TYPE_OUTGOING_P2P, "INPROGRESS");
    for (int i = 0; i < 1500; ++i)
        Put(list, "h" + std::to_string(i), E_TYPE_INCOMING_P2P, "FINISHED");
    constexpr int kBound = 1000;
    EXPECT_EQ(list.GetCount(), kBound);
    const auto ids = Ids(list.Snapshot());
    EXPECT_EQ(ids[0], "ringing");
    EXPECT_EQ(ids[1], "talking");
    EXPECT_EQ(ids[2], "h" + std::to_string(1500 - kBound + 2));
    EXPECT_EQ(ids.back(), "h1499");
}

TEST(CallList, HistoryQueriesSelectByTypeAndStatus) {
    CCallList list;
    Put(list, "in", E_TYPE_INCOMING_P2P, "FINISHED");
    Put(list, "pstn-missed", E_TYPE_INCOMING_PSTN, "MISSED");
    Put(list, "unknown-missed", E_TYPE_UNKNOWN, "MISSED");
    Put(list, "out", E_TYPE_OUTGOING_PSTN, "FINISHED");
    Put(list, "vm", E_TYPE_INCOMING, "UNPLAYED");
    Put(list, "vm-deleting", E_TYPE_INCOMING, "DELETING");
    Put(list, "vm-missed", E_TYPE_INCOMING, "MISSED");
    std::vector<CCallObject> out{CCallObject{}};  // emptied first
    list.GetIncomingCallList(out);
    EXPECT_THAT(Ids(out), ElementsAre("in"));
    list.GetMissedCallList(out);
    EXPECT_THAT(Ids(out), ElementsAre("pstn-missed", "unknown-missed"));
    list.GetOutgoingCallList(out);
    EXPECT_THAT(Ids(out), ElementsAre("out"));
    list.GetVoiceMailList(out);
    EXPECT_THAT(Ids(out), ElementsAre("vm", "vm-missed"));
}

TEST(CallList, TypesDeletesAndDurations) {
    CCallList list;
    list.ModifyCallType("a", "OUTGOING_P2P");
    list.ModifyCallType("b", "outgoing_p2p");  // words are case-sensitive
    list.SetDuration("a", "61s");
    list.SetDuration("b", "x");
    list.GetCallObject("a");
    EXPECT_EQ(list.GetCallObject("a").nType, E_TYPE_OUTGOING_P2P);
    EXPECT_EQ(list.GetCallObject("a").nDuration, 61);
    EXPECT_EQ(list.GetCallObject("b").nType, E_TYPE_UNKNOWN);
    EXPECT_EQ(list.GetCallObject("b").nDuration, 0);
    list.DeleteCallObject("zzz");
    list.DeleteCallObject("a");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.Snapshot()[0].szCallId, "b");
}

TEST(CurrCallList, RotateDeleteAndSetters) {
    CCurrCallList cur;
    CCallObject a, b, c;
    a.szCallId = "a";
    b.szCallId = "b";
    c.szCallId = "c";
    cur.AddCallObject(a);
    cur.RotateCalls();
    EXPECT_EQ(cur.GetLastCall()->szCallId, "a");
    cur.AddCallObject(b);
    cur.AddCallObject(c);
    cur.AddCallObject(a);  // a twice: only the first goes
    cur.RotateCalls();
    EXPECT_EQ(cur.GetCallAt(0)->szCallId, "b");
    EXPECT_EQ(cur.GetCallAt(3)->szCallId, "a");
    cur.DeleteCallObject("a");
    EXPECT_EQ(cur.GetCount(), 3);
    EXPECT_EQ(cur.GetCallAt(2)->szCallId, "a");
    EXPECT_FALSE(cur.GetCallAt(3));
    EXPECT_FALSE(cur.GetCallAt(-1));

    cur.SetConfId("b", "77");
    cur.SetConfId("c", "77");
    cur.SetConfId("nobody", "77");
    cur.SetType("b", "INCOMING_PSTN");
    cur.SetDuration("b", "12");
    std::vector<CCallObject> conf;
    cur.GetConferenceCallList(conf, "77");
    EXPECT_THAT(Ids(conf), ElementsAre("b", "c"));
    EXPECT_EQ(conf[0].nType, E_TYPE_INCOMING_PSTN);
    EXPECT_EQ(conf[0].nDuration, 12);
    EXPECT_EQ(cur.IsCallInList("nobody"), 0);
}

TEST(CallList, OverlongTextsAreCutToTheFieldSize) {
    CCallList list;
    const std::string longId(400, '1');
    list.GetCallObject(longId);
    // The same id arriving again, or cut differently beyond the field, is one call.
    list.GetCallObject(longId + "2");
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.Snapshot()[0].szCallId.size(), kCallFieldMax);
    // A cut never splits a character.
    const std::string name = std::string(298, 'a') + "\xc3\xa9";
    CCurrCallList cur;
    CCallObject r;
    r.szCallId = "1";
    cur.AddCallObject(r);
    cur.SetPartnerDispName("1", name);
    EXPECT_EQ(cur.GetLastCall()->szPartnerDispName, std::string(298, 'a'));
    EXPECT_EQ(ParseDecimal("99999999999"), INT32_MAX);
    EXPECT_EQ(ParseDecimal("-99999999999"), INT32_MIN);
}

TEST(CallList, ClockFormats) {
    FakeClock clock;
    clock.SetLocalTime({2016, 2, 3, 3, 9, 5, 0});
    EXPECT_EQ(FormatCurrentTime(clock), "09:05");
    EXPECT_EQ(FormatCurrentDate(clock), "2016/02/03");
}

}  // namespace
}  // namespace vocastra
