// MenuList: the list model every menu and history list shares (items, the
// selection, the window of three rows on the screen, an optional row
// painter and, for the conference, one mark per item), and its drawing.
//
// Init handlers rebuild it on the thread that switches modes, key handlers
// move it on the key thread, Display handlers and the client link read it
// on theirs: every operation takes the list's own lock, and drawing works
// on a copy of the rows it shows.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vocastra {

class CVirtualDisplay;

inline constexpr int kMenuRows = 3;  // lines 0..2; line 3 holds the soft keys

// What an item stands for: a menu's item number, or the record (a call id,
// a contact handle) of a list.
struct MenuItemData {
    int32_t value = 0;
    std::string record;
    bool operator==(const MenuItemData&) const = default;
};

struct MenuRow {
    int line = 0;
    std::string text;
    MenuItemData data;
    bool selected = false;
    bool marked = false;
};

// Draws one row (icon and text) in place of the plain text; the row's band
// and colours are set up already.
using MenuItemPainter = void (*)(CVirtualDisplay& display, const MenuRow& row);

class MenuList {
  public:
    void Clear();
    void Add(std::string text, MenuItemData data);
    int Count() const;
    void SetPainter(MenuItemPainter painter);

    // The selection wraps at both ends; the three-row window follows it.
    void MoveUp();
    void MoveDown();
    // Selects the first item with this data and makes it the top row.
    void SelectData(const MenuItemData& data);

    int Selected() const;
    int Top() const;
    std::optional<MenuItemData> SelectedData() const;

    // The conference's marks: one per item, all clear.
    void AllocateMarks();
    void FreeMarks();
    void ToggleMark(int index);
    // The data of the marked items, in list order.
    std::vector<MenuItemData> MarkedData() const;

    struct Window {
        std::vector<MenuRow> rows;  // the items from the top row on, at most three
        int count = 0;
        int selected = 0;
        MenuItemPainter painter = nullptr;
    };
    Window Visible() const;

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_ItemText;
    std::vector<MenuItemData> m_ItemData;
    std::vector<int32_t> g_ConferenceMarks;
    int32_t m_nSelected = 0;
    int32_t m_nTop = 0;
    MenuItemPainter m_pfnDrawItem = nullptr;
};

// Rows on lines 0 to 2 (the selected one highlighted), the lines below the
// last item cleared, and the scroll bar.
void DrawMenuList(CVirtualDisplay& display, const MenuList& list);

// Row painters: a 16-pixel icon at x = 0 and the text from x = 16; the
// selected row's text scrolls when it does not fit.
void PaintHistoryMenuItem(CVirtualDisplay& d, const MenuRow& row);  // icon by item number
void PaintIncomingItem(CVirtualDisplay& d, const MenuRow& row);
void PaintOutgoingItem(CVirtualDisplay& d, const MenuRow& row);
void PaintMissedItem(CVirtualDisplay& d, const MenuRow& row);
void PaintVoiceMailItem(CVirtualDisplay& d, const MenuRow& row);
void PaintConferenceItem(CVirtualDisplay& d, const MenuRow& row);  // mark box
// A row with an icon: the text scrolls on the selected row, else it is cut.
void PaintIconRow(CVirtualDisplay& d, int line, int icon, const std::string& text, bool scroll);

// Display icons of the history lists and the conference.
inline constexpr int kIconIncoming = 2;
inline constexpr int kIconOutgoing = 1;
inline constexpr int kIconMissed = 3;
inline constexpr int kIconVoiceMail = 23;
inline constexpr int kIconMarked = 29;
inline constexpr int kIconUnmarked = 28;
inline constexpr int kIconConference = 34;

}  // namespace vocastra
