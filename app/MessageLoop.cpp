#include "app/MessageLoop.h"

#include <algorithm>
#include <iterator>

#include "foundation/CrashLog.h"
#include "ui/Menu.h"
#include "ui/TimerPump.h"
#include "ui/Toolbar.h"

static_assert(sizeof(ACCEL) == 6, "accelerator records are six bytes");

namespace {

HACCEL g_acceleratorTable = nullptr;
int g_messageNesting = 0;

std::vector<ACCEL>& PendingAccelerators()
{
    static std::vector<ACCEL> records;
    return records;
}

ACCEL MakeRecord(uint8_t flags, uint16_t key, uint16_t commandId)
{
    ACCEL record;
    record.fVirt = flags;
    record.key = key;
    record.cmd = commandId;
    return record;
}

// Commands whose menu entries choose their access keys before the others.
constexpr int kKeyPriorityIds[] = {2060, 2066, 2070, 2073, 2075, 2081, 2104, 2107,
                                   2110, 2112, 2120, 2122, 2201, 2221, 2227};

bool HasAccessKeyPriority(int id)
{
    return std::find(std::begin(kKeyPriorityIds), std::end(kKeyPriorityIds), id) != std::end(kKeyPriorityIds);
}

// Commands registered with a shortcut that they do not keep.
bool DropsShortcut(int id) { return id == 2075 || id == 2201 || id == 2221; }

// The recent-file entries 10 to 16: their captions are paths, whose letters
// make poor keys.
bool ForbidsAutoKey(int id) { return id >= 2094 && id <= 2100; }

void SetMenuEntryKeyRule(CCommandMenuItem& item, int id)
{
    if (HasAccessKeyPriority(id))
        item.caption.priority = 10;
    if (ForbidsAutoKey(id))
        item.caption.SetAutoMnemonic(false);
}

void AddCommandAccelerator(int id, int kind, int key)
{
    if (kind == kNoAccelerator)
        return;
    const uint8_t flags = GetAcceleratorFlags(kind);
    if (flags == 0) {
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        return;
    }
    if (kind == kCtrlKey || kind == kCtrlShiftKey) {
        AddAccelerator(flags, uint16_t(key), uint16_t(id));
        return;
    }
    // Special keys are shown only; Backspace is shown for Delete.
    if (key != kBackspaceKey) {
        TRACE_VALUE(int32_t, key);
        ReportFailure();
        return;
    }
    AddAccelerator(flags, VK_DELETE, uint16_t(id));
}

}  // namespace

// ---- The message loop ---------------------------------------------------------

void RunMessageLoop()
{
    TRACE_POINT();
    // Waiting for messages is no hang; window procedures watch themselves.
    CUnwatchedSection unwatched;
    MSG message = {};
    for (;;) {
        // The pump runs after messages but skips mouse moves; a timer started
        // before the loop (the splash's) or due after a last mouse move over
        // a dialog would wait for some later message. Pumping before every
        // wait arms the pump's wake-up whatever came last.
        if (!IsMessageWaiting())
            PumpTimers();
        // GetMessageW gives -1 only for a bad filter window; stop rather than spin.
        if (GetMessageW(&message, nullptr, 0, 0) <= 0)
            break;
        ProcessLoopMessage(message);
    }
}

void ProcessLoopMessage(MSG& message)
{
    ++g_messageNesting;
    TRACE_VALUE(int32_t, g_messageNesting);
    TRACE_VALUE(int32_t, int32_t(message.message));
    TRACE_VALUE(int32_t, int32_t(message.lParam));
    TRACE_VALUE(int32_t, int32_t(message.wParam));

    bool translated = false;
    if (const HWND active = GetActiveWindow()) {
        if (!g_acceleratorTable && !PendingAccelerators().empty())
            BuildAcceleratorTable();
        if (g_acceleratorTable)
            translated = TranslateAcceleratorW(active, g_acceleratorTable, &message) != 0;
    }
    if (!translated) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    PumpAfterMessage(message.message);

    --g_messageNesting;
    TRACE_VALUE(int32_t, g_messageNesting);
}

int GetMessageNesting() { return g_messageNesting; }

// ---- Accelerators ---------------------------------------------------------------

uint8_t GetAcceleratorFlags(int kind)
{
    switch (kind) {
    case kCtrlKey:
    case kCtrlSpecialKey:
        return FVIRTKEY | FCONTROL;
    case kCtrlShiftKey:
    case kCtrlShiftSpecialKey:
        return FVIRTKEY | FSHIFT | FCONTROL;
    case kSpecialKey:
        return FVIRTKEY;
    case kShiftSpecialKey:
        return FVIRTKEY | FSHIFT;
    default:
        return 0;
    }
}

void AddAccelerator(uint8_t flags, uint16_t key, uint16_t commandId)
{
    if (g_acceleratorTable)
        return;
    PendingAccelerators().push_back(MakeRecord(flags, key, commandId));
}

void BuildAcceleratorTable()
{
    TRACE_POINT();
    std::vector<ACCEL>& records = PendingAccelerators();
    if (g_acceleratorTable)
        ReportFailure();
    if (records.empty())
        ReportFailure();

    records.push_back(MakeRecord(FVIRTKEY | FALT, VK_BACK, 2104));
    records.push_back(MakeRecord(FVIRTKEY | FSHIFT, VK_DELETE, 2110));
    records.push_back(MakeRecord(FVIRTKEY | FCONTROL, VK_INSERT, 2112));
    records.push_back(MakeRecord(FVIRTKEY | FSHIFT, VK_INSERT, 2120));
    records.push_back(MakeRecord(FVIRTKEY, VK_F1, 2221));
    records.push_back(MakeRecord(FVIRTKEY | FSHIFT, VK_F1, 2221));
    // Character records: Alt with the typed "/" or "?", whatever key makes it.
    records.push_back(MakeRecord(FALT, 0x2F, 2227));
    records.push_back(MakeRecord(FALT, 0x3F, 2227));

    std::vector<ACCEL> array;
    array.swap(records);
    const HACCEL table = CreateAcceleratorTableW(array.data(), int(array.size()));
    TRACE_VALUE(int32_t, int32_t(array.size()));
    if (!table) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure();
        return;
    }
    if (g_acceleratorTable)
        DestroyAcceleratorTable(g_acceleratorTable);
    g_acceleratorTable = table;
}

HACCEL GetAcceleratorTable() { return g_acceleratorTable; }

const std::vector<ACCEL>& GetPendingAccelerators() { return PendingAccelerators(); }

void FreeAcceleratorTable()
{
    if (!g_acceleratorTable)
        return;
    DestroyAcceleratorTable(g_acceleratorTable);
    g_acceleratorTable = nullptr;
}

// ---- Command registration -------------------------------------------------------

void RegisterCommand(CMenu* menu, CMenu* contextMenu, CToolbarPanel* toolbar, int id, int secondTextId,
                     const CDelegate<int>& execute, const CDelegate<CCommand*>& updateState, const wchar_t* icon,
                     int acceleratorKind, int key, uint8_t flag)
{
    TRACE_VALUE(int32_t, id);
    if (DropsShortcut(id)) {
        acceleratorKind = kNoAccelerator;
        key = 0;
    }
    // The About command is not offered in a menu named after the program.
    const bool placed = !(id == 2227 && menu && menu->id == 2001);

    if (placed && menu) {
        CCommandMenuItem* item = new CCommandMenuItem(id, secondTextId, menu, acceleratorKind, key, flag != 0);
        item->onExecute = execute;
        item->onUpdateState = updateState;
        SetMenuEntryKeyRule(*item, id);
        menu->AddItem(item);
    }
    if (placed && contextMenu) {
        CCommandMenuItem* item =
            new CCommandMenuItem(id, secondTextId, contextMenu, acceleratorKind, key, flag != 0);
        item->onExecute = execute;
        item->onUpdateState = updateState;
        contextMenu->AddItem(item);
    }
    if (placed && toolbar) {
        if (!icon) {
            ReportFailure();
        } else {
            CToolbarItem* item = new CToolbarItem(id, secondTextId, icon, acceleratorKind, key);
            item->onExecute = execute;
            item->onUpdateState = updateState;
            toolbar->AddItem(item);
        }
    }
    AddCommandAccelerator(id, acceleratorKind, key);
}

CMenu* AddCommandMenu(CMenu* parent, int captionId, int secondTextId, int kind)
{
    TRACE_VALUE(int32_t, captionId);
    if (captionId == 2001)
        return nullptr;
    if (!parent) {
        ReportFailure();
        return nullptr;
    }
    CMenu* menu = new CMenu(captionId, secondTextId, parent, kind);
    parent->AddItem(menu);
    return menu;
}
