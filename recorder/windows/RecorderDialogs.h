#pragma once

class QWidget;
class TVirtualScopeVornRM;
class TVirtualDriverVornRM;

// The bodies of the main window's "Demo setup", "Color setup" and "About"
// menu commands. Each shows its dialog modally over `parent`, copies what the
// user confirmed into the scope and announces it, and releases the dialog.

// Demo waveform: on OK sets PeriodA/B, AmplitudeA/B, NoiseA/B and sends code 2
// with group 255.
void RunDemoSetup(QWidget* parent, TVirtualScopeVornRM& scope);
// Display colours: on OK sets ColorChannelA/B, ColorGrid and BackgroundColor
// and sends code 2 with group 14.
void RunColorSetup(QWidget* parent, TVirtualScopeVornRM& scope);
// The recorder's about box with the program version, the USB driver version
// and the device serial number.
void RunRecorderAbout(QWidget* parent, const TVirtualDriverVornRM& driver);
