#pragma once
// Command ids of the menus, toolbars and accelerators. The texts, keys,
// prompts and tooltips of each command live in the command table.

namespace Cmd {

// File
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int TextNewOrLoad = 32993;
inline constexpr int TextSave = 32994;
inline constexpr int TextImport = 32921;
inline constexpr int TextExport = 32862;
inline constexpr int NodeImport = 32947;
inline constexpr int NodeExport = 32948;
inline constexpr int FilePrint = 57607;
inline constexpr int RecentFile1 = 57616; // 57616 to 57619
inline constexpr int AppExit = 57665;

// Tree
inline constexpr int TreeAddAbove = 32790;
inline constexpr int TreeAddBelow = 32791;
inline constexpr int TreeAddChild = 32792;
inline constexpr int TreeMoveUp = 32799;
inline constexpr int TreeMoveDown = 32795;
inline constexpr int TreeRaiseLevel = 32796;
inline constexpr int TreeLowerLevel = 32797;
inline constexpr int TreeExpand = 32826;
inline constexpr int TreeCollapse = 32827;
inline constexpr int TreeUndo = 32880;
inline constexpr int TreeRedo = 32879;
inline constexpr int TreeDelete = 32793;

// Editor
inline constexpr int EditUndo = 32868;
inline constexpr int EditRedo = 32869;
inline constexpr int EditCut = 57635;
inline constexpr int EditCopy = 57634;
inline constexpr int EditPaste = 57637;
inline constexpr int EditSelectAll = 57642;
inline constexpr int EditFind = 57636;
inline constexpr int EditRepeat = 57640;
inline constexpr int EditReplace = 57641;

// Tools
inline constexpr int ExternalEditor = 32943;
inline constexpr int ExternalApp = 32852;
inline constexpr int TextViewer = 32842;
inline constexpr int Options = 32832;

// View
inline constexpr int ToolbarMain = 128;
inline constexpr int ToolbarTree = 342;
inline constexpr int ToolbarEditor = 344;
inline constexpr int ToolbarTools = 346;
inline constexpr int StatusBarToggle = 59393;
inline constexpr int LookFirst = 205; // 205 to 219
inline constexpr int LookLast = 219;
inline constexpr int LabelMode = 32958;
inline constexpr int ViewChange = 32987;
inline constexpr int NextPane = 57680;
inline constexpr int PrevPane = 57681;
inline constexpr int Customize = 126;

// Help
inline constexpr int ShortcutList = 32984;
inline constexpr int About = 57664;

} // namespace Cmd
