#pragma once

// The viewer's string table: every text the viewer shows, exactly as the user
// sees it (blanks and spellings included).
namespace ViewerStrings {

// viewer engine
inline constexpr char OpenErrorSharingViolation[] = "File is used by another process";
inline constexpr char OpenErrorFileNotFound[] = "File does not exist";
inline constexpr char OpenErrorFileEmpty[] = "File is empty";
inline constexpr char OpenErrorPrefix[] = "File error ";
inline constexpr char OpenErrorIsFolder[] = ": the name is a folder, not a data file";
inline constexpr char OpenErrorNotRegular[] = ": not a data file but a pipe, a device or a socket";
inline constexpr char OpenErrorReasonSeparator[] = ": ";
inline constexpr char ProgressCreatingIndex[] = "Creating index file";
inline constexpr char ProgressCreatingQuickView[] = "Creating Quick view";
inline constexpr char ProgressCreatingBufferView[] = "Creating Buffer view";
inline constexpr char ProgressCreatingNormalView[] = "Creating Normal view";
inline constexpr char ProgressNotesOpen[] = " (";
inline constexpr char ProgressNotesSeparator[] = "; ";
inline constexpr char ProgressNotesClose[] = ")";
inline constexpr char DamageNotePrefix[] = "data file damaged: ";
inline constexpr char DamageSkippedBlocks[] = " damaged parameter blocks skipped";
inline constexpr char DamageEndsInsideBlock[] = "the file ends inside a parameter block";
inline constexpr char DamageOddSize[] = "the file ends with half a word";
inline constexpr char IndexNotSavedPrefix[] = "index kept in memory only: ";
inline constexpr char IndexNotSavedIsDataFile[] = " is the data file itself";
inline constexpr char IndexNotSavedTooLarge[] = "it would be larger than the data file";
inline constexpr char IndexNotSavedNotAnIndex[] = " is not an index file and stays as it is";
inline constexpr char IndexNotSavedCannotWrite[] = " cannot be written (read-only folder or file)";
inline constexpr char IndexNotSavedWriteFailed[] = "writing ";
inline constexpr char IndexNotSavedWriteFailedAfter[] = " failed: ";

// main window, open panel, settings and main display
inline constexpr char MainCaption[] = "Norvak Roll mode viewer";
inline constexpr char CaptionBeforeFileName[] = "       ";  // seven blanks
inline constexpr char ChannelsPanelCaption[] = " Display ";
inline constexpr char BufferingPanelCaption[] = " Progress ";
inline constexpr char OpenFilePanelCaption[] = " Load ";
inline constexpr char VoltagesPanelCaption[] = " Cursors ";
inline constexpr char SweepPanelCaption[] = " DSP/SMP ";
inline constexpr char ZoomPanelCaption[] = "Zoom";
inline constexpr char FileSizeLabelCaption[] = "Size:";
inline constexpr char BufferViewHint[] = "Screen shift in its buffer";
inline constexpr char QuickViewHint[] = "Screen buffer shift in file";
inline constexpr char SweepMinusHint[] = "Decreases waveform zoom";
inline constexpr char SweepPlusHint[] = "Increases waveform zoom";
inline constexpr char SweepOnOffHint[] = "Activates deactivates waveform zoom";
inline constexpr char SaveFileBrowseButtonHint[] = "Browse for data file";
inline constexpr char OpenButtonHint[] = "Opens selected file";
inline constexpr char ChannelButtonHint[] = "Activates/deactivates given channel";
inline constexpr char SweepSingleButtonHint[] = "Selects single sample display mode";
inline constexpr char SweepCalcButtonHint[] = "Selects agregated sample display mode";
inline constexpr char SweepAggregationHint[] = "Selects Max/Min/Avg agregation mode";
inline constexpr char OnOffVoltagesHint[] = "Activates/deactivates voltmeter cursors";
inline constexpr char MenuFile[] = "File";
inline constexpr char MenuPrint[] = "Print";
inline constexpr char MenuExit[] = "Exit";
inline constexpr char MenuSettings[] = "Settings";
inline constexpr char MenuColorSettings[] = "Color settings";
inline constexpr char MenuShowGrid[] = "Show grid";
inline constexpr char MenuHelp[] = "Help";
inline constexpr char MenuIndex[] = "Index";
inline constexpr char MenuNorvakWeb[] = "Norvak web";
inline constexpr char MenuSupport[] = "Support";
inline constexpr char MenuAbout[] = "About";
inline constexpr char ExitQuestion[] = "Exit program?";
inline constexpr char ProgressReady[] = "Ready";
inline constexpr char OpenDialogCaption[] = "Open";
inline constexpr char OpenDialogFilter[] = "Roll mode files (*.rmd)";
inline constexpr char OpenDialogSuffix[] = "rmd";
inline constexpr char DataFileExtension[] = ".rmd";
inline constexpr char TypedNameNotFound[] = "File does not exist";
inline constexpr char TypedNameLookedFor[] = "Looked for:";
inline constexpr char SettingsFileName[] = "Preview.ini";
inline constexpr char UserSettingsFileName[] = "PreviewSettings.dat";
inline constexpr char ProposedDataFileName[] = "sdata.rmd";
inline constexpr char SettingsFileMissingBefore[] = "File ";
inline constexpr char SettingsFileMissingAfter[] = " is missing";
inline constexpr char SettingsCannotCreate[] = "Cannot create file ";
inline constexpr char SettingsWriteFailed[] = "Write to file failed";
inline constexpr char SettingsReadError[] = "Error reading file";

// view bars, time bar, zoom, channel and display-mode panels
inline constexpr char TimePerDivisionPrefix[] = "tdiv = ";
inline constexpr char CrossesTimePrefix[] = "t = ";
inline constexpr char CrossesTimeOff[] = "t = N/A";
inline constexpr char CursorHintTimePrefix[] = "t: ";
inline constexpr char CursorHintDeltaPrefix[] = "dt: ";
inline constexpr char InexactTimeMark[] = "!";
inline constexpr char ZoomCaptionSuffix[] = ":1";

// cursors, pop-up menus, voltage-cursor panel, cursor dialog, cursor-times window
inline constexpr char CursorDialogCaption[] = "Cursor properties";
inline constexpr char CursorTypeLabel[] = "Cursor type";
inline constexpr char CursorColorLabel[] = "Cursor color";
inline constexpr char CancelButton[] = "Cancel";
inline constexpr char CursorNameLabel[] = "Cursor name";
inline constexpr char UserTimeLabel[] = "Time";
inline constexpr char CursorTypeWaveform[] = "Waveform";
inline constexpr char CursorTypeScreen[] = "Screen";
inline constexpr char CursorTypeTimeSynchro[] = "Time Synchro";
inline constexpr char TimeRelationsCaption[] = "Time relations";
inline constexpr char ExportToClipboard[] = "Export to clipoboard";
inline constexpr char TimesExported[] = "Times exported to clipboard";
inline constexpr char EditCursor[] = "Edit cursor";
inline constexpr char DeleteSelectedCursor[] = "Delete selected cursor";
inline constexpr char AddWaveformCursor[] = "Add waveform cursor";
inline constexpr char SetTimeSynchro[] = "Set time synchro";
inline constexpr char DeleteLastCursor[] = "Delete last cursor";
inline constexpr char DeleteAllCursors[] = "Delete all cursors";
inline constexpr char DisplayTimes[] = "Display times";
inline constexpr char BringCursor[] = "Bring cursor";
inline constexpr char DeleteTimeSynchro[] = "Delete time synchro";
inline constexpr char MaximumCursorsReached[] = "Maximum cursors count reached";
inline constexpr char HintTime[] = "t: ";
inline constexpr char HintTimeDifference[] = "dt: ";
inline constexpr char TimeSynchroAlreadySet[] = "Time synchro is already set";
inline constexpr char TimeSynchroCursorName[] = "TimeSynchro";
inline constexpr char CursorNamePrefix[] = "C";  // default names C1 to C10
inline constexpr char FreeCursorSlot[] = "-";    // a slot without a cursor: its name and its times

// printing
inline constexpr char PrintLibraryMissing[] = "Print manager library is missing";

} // namespace ViewerStrings
