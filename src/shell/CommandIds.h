#pragma once

// Command ids of the menus, toolbar, accelerators and the search panel.
// Every action carries its id as QAction::data, so commands are found by id.
namespace cmd {

// Framework commands (toolbar, accelerators).
constexpr int FileNew = 57600;
constexpr int FileOpen = 57601;
constexpr int FileSave = 57603;
constexpr int FilePrintSetup = 57606;
constexpr int FilePrint = 57607;
constexpr int EditUndo = 57643;
constexpr int EditRedo = 57644;
constexpr int EditCut = 57635;
constexpr int EditCopy = 57634;
constexpr int EditPaste = 57637;
constexpr int NextPane = 57680;
constexpr int PrevPane = 57681;
constexpr int AppAbout = 57664;

// Search panel.
constexpr int DialogBar = 103;  // show or hide the panel
constexpr int Search = 1001;
constexpr int ExpandOut = 1005;
constexpr int ExpandIn = 32786;

// Highlight modes.
constexpr int ViewWithBox = 32771;
constexpr int ViewByColor = 32772;
constexpr int SelectiveShowing = 32773;

// Label modes.
constexpr int CharViewAll = 32774;
constexpr int CharViewRed = 32775;
constexpr int CharViewBoth = 32776;
constexpr int CharViewNothing = 32777;

// Selection.
constexpr int SelectAll = 32781;
constexpr int DeselectAll = 32782;
constexpr int SelectOne = 32787;
constexpr int SelectRelated = 32788;

// Pathway builds and files.
constexpr int OpenPathway = 32792;
constexpr int SavePathway = 32795;
constexpr int SphereView = 32808;
constexpr int BoxView = 32832;
constexpr int ExportDot = 32833;
constexpr int StartupLoad = 32834;

// Curation.
constexpr int Rename = 32820;
constexpr int AnnotateOk = 32823;
constexpr int SpecificInformation = 32829;
constexpr int CoordinationSpecific = 32818;
constexpr int NewMolecule = 32798;
constexpr int SetRelation = 32821;
constexpr int DeleteMolecule = 32797;

// Review (filter ids are those of the marker-filter table).
constexpr int FindByNumber = 32816;
constexpr int CountOk = 32822;
constexpr int SetAllOk = 32824;
constexpr int Statistics = 32827;
constexpr int ShowNotOk = 32828;

// Graphviz layout and node positions.
constexpr int LayoutGraphviz = 33040;  // engine chosen by the graph's size
constexpr int LayoutDot = 33041;
constexpr int LayoutNeato = 33042;
constexpr int LayoutFdp = 33043;
constexpr int LayoutSfdp = 33044;
constexpr int CancelLayout = 33045;
constexpr int SaveNodePositions = 33046;
// Legend, picture export and uncluttered labels.
constexpr int ExportImage = 33020;
constexpr int DeclutterLabels = 33021;
constexpr int Legend = 33022;
// Choosing the data source (connect 33060-33079).
constexpr int ConnectDataSource = 33060;
// Evidence panel and find-and-focus (33000-33019).
constexpr int ZoomToSelection = 33000;

}  // namespace cmd
