#pragma once

// The recorder's string table: every text the recorder shows, exactly as the
// user sees it (blanks and spellings included).
namespace RecorderStrings {

// recorder engine
inline constexpr char DriverNotPresent[] = "Driver QuorvRMDrv.Dll not present. Continue?";
inline constexpr char UlmexNotInstalled[] = "The ulmex drivers are not installed";
inline constexpr char UsbFunctionMissing[] = "USB driver is missing some function. Please install newest USB driver";
inline constexpr char BrokenCalibration[] = "Broken calibration data. Please contact the manufacturer.";
inline constexpr char DeviceNotPresentRetry[] = "Device not present. Retry?";
inline constexpr char DeviceNotPoweredRetry[] =
    "Device is present, but not powered. Please power the device to start the application. Retry?";
inline constexpr char DeviceInitFailedRetry[] = "Device initialization failed. Retry?";
inline constexpr char SerialNotAvailable[] = "N/A";
inline constexpr char CannotCreateFile[] = "Cannot create file ";  // followed by the file name
inline constexpr char WriteToFileFailed[] = "Write to file failed.";
inline constexpr char MeasurementEndedDeviceLost[] = "The device was lost: the measurement has ended.";
inline constexpr char Probe1[] = "    1:1";
inline constexpr char Probe10[] = "  1:10";
inline constexpr char Probe100[] = "1:100";
inline constexpr char Probe1000[] = "1:1000";

// main window, start-up and splash
inline constexpr char InstanceName[] = "Norvak_Pelk_SW";
inline constexpr char DeviceInUse[] = "Device in use by another application";
inline constexpr char SplashCaption[] = "Tarsel series scope";
inline constexpr char SplashEnvironment[] = "Application environment initialization";
inline constexpr char SplashDevice[] = "Device initialization";
inline constexpr char MainCaptionInitial[] = "Roll Mode";
inline constexpr char MainCaptionDemo[] = "<-RUNNING IN DEMO MODE->      RadaDazi KestoX";
inline constexpr char MainCaptionModel[] = "RadaDazi Kesto";
inline constexpr char ExitQuestion[] = "Exit program?";
inline constexpr char RestoreDefaultsQuestion[] = "Current settings will be lost. Continue?";
inline constexpr char ViewerProgram[] = "./PreviewVornRM";
inline constexpr char HelpPage[] = "Help/help.htm";
inline constexpr char MenuFile[] = "&File";
inline constexpr char MenuViewer[] = "Viewer";
inline constexpr char MenuExit[] = "E&xit";
inline constexpr char MenuSettings[] = "&Settings";
inline constexpr char MenuRestoreDefaults[] = "Restore defaults";
inline constexpr char MenuLoadSaved[] = "Load saved";
inline constexpr char MenuSaveSettings[] = "Save settings";
inline constexpr char MenuDemoSetup[] = "Demo setup";
inline constexpr char MenuColorSetup[] = "Color setup";
inline constexpr char MenuToolTipHelp[] = "Tool tip help";
inline constexpr char MenuHighPriority[] = "High priority";
inline constexpr char MenuHelp[] = "&Help";
inline constexpr char MenuIndex[] = "Index";
inline constexpr char MenuNorvakWeb[] = "Norvak web";
inline constexpr char MenuSupport[] = "Support";
inline constexpr char MenuAbout[] = "About";
inline constexpr char TextLength[] = "Length:";
inline constexpr char TextDisplayButton[] = "Display  ";
inline constexpr char TextDisplayOff[] = "Display off";
inline constexpr char TextFileSize[] = "Size:";
inline constexpr char TextVertical[] = "Vertical";
inline constexpr char HintChannelButtonA[] = "Activate/deactivate channel A";
inline constexpr char HintChannelButtonB[] = "Activate/deactivate channel B";
inline constexpr char HintBeamButton[] = "Beam finder";
inline constexpr char HintLineButton[] = "Line mode";
inline constexpr char HintRewButton[] = "Display like cardiogram";
inline constexpr char HintRollButton[] = "Display rolling waveform";
inline constexpr char HintACDCButtonA[] = "AC/DC switch channel A";
inline constexpr char HintACDCButtonB[] = "AC/DC switch channel B";
inline constexpr char HintProbeButtonA[] = "Probe type channel A";
inline constexpr char HintProbeButtonB[] = "Probe type channel B";
inline constexpr char HintSweepMinimum[] = "Display minimums";
inline constexpr char HintSweepMaximum[] = "Display maximums";
inline constexpr char HintSweepAverage[] = "Display averages";
inline constexpr char HintSlideUpButtonA[] = "Shift up trace A";
inline constexpr char HintSlideUpButtonB[] = "Shift up trace B";
inline constexpr char HintSlideDownButtonA[] = "Shift down trace A";
inline constexpr char HintSlideDownButtonB[] = "Shift down trace B";
inline constexpr char HintDensityDownButtonA[] = "Decrease channel A deflection factor";
inline constexpr char HintDensityDownButtonB[] = "Decrease channel B deflection factor";
inline constexpr char HintDensityUpButtonA[] = "Increase channel A deflection factor";
inline constexpr char HintDensityUpButtonB[] = "Increase channel B deflection factor";
inline constexpr char HintSaveFileBrowseButton[] = "Browse for data file";
inline constexpr char HintGridBrightness[] = "Adjust grid brightness";
inline constexpr char HintGridButton[] = "Grid On/Off";
inline constexpr char HintSmpScrollBar[] = "Set sampling rate";
inline constexpr char HintDSPScrollBar[] = "Set display rate";
inline constexpr char HintGNDButtonA[] = "Ground channel A";
inline constexpr char HintGNDButtonB[] = "Ground channel B";
inline constexpr char HintTriggerAButton[] = "Trigger source channel A";
inline constexpr char HintTriggerBButton[] = "Trigger source channel B";
inline constexpr char HintTriggerUnderOver[] = "Under/Over select";
inline constexpr char HintTriggerThreshold[] = "Trigger threshold";
inline constexpr char HintStartRecord[] = "Start measurement";
inline constexpr char HintStopRecord[] = "Stop measurement";
inline constexpr char HintRecordTriggered[] = "Mode triggered";
inline constexpr char HintRecordFree[] = "Mode free";
inline constexpr char HintRecordDefined[] = "Mode defined length";
inline constexpr char HintRecordContinuous[] = "Mode continuos";
inline constexpr char HintRecordLength[] = "Length:";
inline constexpr char HintSweepCalc[] = "Calculate max/min/avg";
inline constexpr char HintSweepSingle[] = "Display real sample value";
inline constexpr char HintSaveRecordLength[] = "Size of measurement record on disk";
inline constexpr char HintSaveButton[] = "Activate/Deactivate measurement saving";
inline constexpr char HintDisplayButton[] = "Activate/Deactivate measurement displaying";
inline constexpr char HintClearScreen[] = "Clear screen";

// what a screen reader reads for controls that show no text of their own
inline constexpr char NameSaveFileEdit[] = "Data file";
inline constexpr char NameVerticalSlideA[] = "Position of trace A";
inline constexpr char NameVerticalSlideB[] = "Position of trace B";
inline constexpr char NameTriggerLevelA[] = "Trigger threshold channel A";
inline constexpr char NameTriggerLevelB[] = "Trigger threshold channel B";
inline constexpr char NameArmLevelA[] = "Arm threshold channel A";
inline constexpr char NameArmLevelB[] = "Arm threshold channel B";
inline constexpr char NameTriggerLampStopped[] = "Trigger: stopped";
inline constexpr char NameTriggerLampWaiting[] = "Trigger: waiting";
inline constexpr char NameTriggerLampSatisfied[] = "Trigger: triggered";
inline constexpr char NameArmLampStopped[] = "Arm: stopped";
inline constexpr char NameArmLampWaiting[] = "Arm: waiting";
inline constexpr char NameArmLampSatisfied[] = "Arm: armed";

// display, sweep, time-base and vertical position panels

// coupling, range, information, channel, trigger, arm, file and record panels
inline constexpr char CouplingDC[] = "DC";
inline constexpr char CouplingAC[] = "AC";
inline constexpr char LevelUnder[] = "<";
inline constexpr char LevelOver[] = ">";
inline constexpr char ExternalArmUnder[] = "0";
inline constexpr char ExternalArmOver[] = "1";
inline constexpr char TriggerRelationAnd[] = "AND";
inline constexpr char TriggerRelationOr[] = "OR";
inline constexpr char DataFileFilter[] = "Roll mode files (*.rmd)";
inline constexpr char DataFileExtension[] = "rmd";
inline constexpr char ClearFileQuestion[] = "Clear the file?";
inline constexpr char ArmTriggerConflict[] = "Arm and Trigger settings conflict.";

// settings component and demo setup dialog
inline constexpr char SettingsFilePrefix[] = "File ";
inline constexpr char SettingsFileMissingSuffix[] = " is missing.";
inline constexpr char SettingsErrorReading[] = "Error reading file.";
inline constexpr char DemoSetupCaption[] = "Demo setup";
inline constexpr char DemoAmplitude[] = "Amplitude";
inline constexpr char DemoAmplitudeHint[] = "Set the demo waveform amplitude";
inline constexpr char DemoPeriod[] = "Period";
inline constexpr char DemoPeriodHint[] = "Set the demo waveform period";
inline constexpr char DemoNoise[] = "Noise";
inline constexpr char DemoNoiseHint[] = "Set the demo waveform noise";
inline constexpr char DemoChannelA[] = "Channel A";
inline constexpr char DemoChannelB[] = "Channel B";
inline constexpr char DemoMillivolts[] = "mV";
inline constexpr char DemoMilliseconds[] = "mS";
inline constexpr char DemoOK[] = "OK";
inline constexpr char DemoCancel[] = "Cancel";
inline constexpr char DemoValueNotNumber[] = "Please enter a number from -2147483648 to 2147483647.";
inline constexpr char DemoPeriodTooShort[] = "The period must be at least 1 mS.";

} // namespace RecorderStrings
