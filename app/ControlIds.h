// Fixed control ids of the wizard window. Each control is a child window with this id
// (GetDlgItem on the wizard window finds it, whatever page it lies on), so that a test
// driver or an accessibility tool can find, read and press it. The numbers are part of
// the program's outside interface: do not renumber them.
//
// From another process, read texts with SendMessage (WM_GETTEXT, LB_GETTEXT...), not
// GetWindowText, which does not ask a control of another process. Wine hands the item texts
// of LB_GETTEXT and CB_GETLBTEXT back in UTF-16 even to the "A" call across processes: a
// driver under Wine sends those two as SendMessageW and converts.
#pragma once

namespace qe {

enum TControlId : int {
    // The button bar.
    IDC_BTNPREV = 1001,
    IDC_BTNNEXT = 1002,
    IDC_BTNCANCEL = 1003,

    // The pages (panels) and the two stacked contents of the start page.
    IDC_PANELSTART = 1100,
    IDC_PANELINSTALL = 1101,
    IDC_PANELFINISH = 1102,
    IDC_PANELINFO = 1103,
    IDC_PANELLICENSE = 1104,
    IDC_PANELFOLDER = 1105,
    IDC_PANELREADY = 1106,
    IDC_PANELPROGRESS = 1107,
    IDC_PANELNEWS = 1108,

    // Start page.
    IDC_IMGBANNER = 1200,
    IDC_LABELSTART1 = 1201,
    IDC_LABELSTART2 = 1202, // link label (class "QeLinkLabel"); its text is the markup
    IDC_LABELFINISH1 = 1203,
    IDC_LABELFINISH2 = 1204, // link label
    IDC_CHECKRUN = 1205,
    IDC_COMBORUN = 1206, // drop-down list with strings: CB_GETCOUNT, CB_GETLBTEXT, CB_GETCURSEL

    // Header band of each page: title, subtitle, instruction (ids 1300 + 10 * page + 1..3),
    // and the page's picture (+ 4).
    IDC_LABELINFO1 = 1311,
    IDC_LABELINFO2 = 1312,
    IDC_LABELINFO3 = 1313,
    IDC_IMGINFO = 1314,
    IDC_LABELLICENSE1 = 1321,
    IDC_LABELLICENSE2 = 1322,
    IDC_LABELLICENSE3 = 1323,
    IDC_IMGLICENSE = 1324,
    IDC_LABELFOLDER1 = 1331,
    IDC_LABELFOLDER2 = 1332,
    IDC_LABELFOLDER3 = 1333,
    IDC_IMGFOLDER = 1334,
    IDC_LABELREADY1 = 1341,
    IDC_LABELREADY2 = 1342,
    IDC_LABELREADY3 = 1343,
    IDC_IMGREADY = 1344,
    IDC_LABELPROGRESS1 = 1351,
    IDC_LABELPROGRESS2 = 1352,
    IDC_LABELPROGRESS3 = 1353,
    IDC_IMGPROGRESS = 1354,
    IDC_LABELNEWS1 = 1361,
    IDC_LABELNEWS2 = 1362,
    IDC_LABELNEWS3 = 1363,
    IDC_IMGNEWS = 1364,

    // Page contents.
    IDC_RICHINFO = 1400,       // rich edit: read with WM_GETTEXT
    IDC_RICHLICENSE = 1401,    // rich edit
    IDC_RADIOACCEPT = 1402,    // BM_GETCHECK / BM_CLICK
    IDC_RADIONOTACCEPT = 1403, // BM_GETCHECK / BM_CLICK
    // Check list: an owner-drawn list box with strings. LB_GETCOUNT and LB_GETTEXT read the
    // folders, LB_GETITEMDATA reads an item's check mark (1 checked, 0 not), LB_SETITEMDATA
    // sets it (the control repaints on its next paint); these standard messages work from
    // another process.
    IDC_LISTMETATRADER = 1404,
    IDC_BTNADDMETATRADER = 1405, // BM_CLICK opens the folder chooser
    IDC_MEMOREADY = 1406,        // edit control: WM_GETTEXT, lines separated by "\r\n"
    IDC_PROGRESSBAR1 = 1407,     // PBM_GETPOS
    IDC_MEMOPROGRESS = 1408,     // edit control: WM_GETTEXT, lines separated by "\r\n"
    IDC_RICHNEWS = 1409,         // rich edit
};

} // namespace qe
