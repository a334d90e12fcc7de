// A form holding one or more of each standard and extra control, and a frame class that reads
// its own definition; shared by the control tests.
#pragma once

#include "ui/buttons.h"
#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/frames.h"
#include "ui/stdctrls.h"

#include <string>
#include <vector>

namespace wl::test {

class TStdTestFrame : public TFrame {
    WL_CLASS(TStdTestFrame, TFrame)
public:
    explicit TStdTestFrame(TComponent* owner) : TFrame(owner) { ReadDefinition(); }
    TLabel* FrameLabel = nullptr;
    TCheckBox* FrameCheck = nullptr;
};

class TStdCtlForm : public TForm {
    WL_CLASS(TStdCtlForm, TForm)
public:
    using TForm::TForm;
    TGroupBox* GroupBox1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TComboBox* ComboBox3 = nullptr;
    TListBox* ListBox1 = nullptr;
    TListBox* ListBox2 = nullptr;
    TScrollBar* ScrollBar1 = nullptr;
    TScrollBar* ScrollBar2 = nullptr;
    TStaticText* StaticText1 = nullptr;
    TBevel* Bevel1 = nullptr;
    TShape* Shape1 = nullptr;
    TImage* Image1 = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TBitBtn* BitBtn2 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TScrollBox* ScrollBox1 = nullptr;
    TPanel* BoxPanel = nullptr;
    TStdTestFrame* Frame1 = nullptr;

    // What the handlers saw, in order ("CheckBox1Click", "ScrollBar1Scroll 2 55" ...).
    std::vector<std::string> log;

    void CheckBox1Click(TObject* sender);
    void RadioGroup1Click(TObject* sender);
    void ComboBox1Change(TObject* sender);
    void ScrollBar1Change(TObject* sender);
    void ScrollBar1Scroll(TObject* sender, TScrollCode code, int& position);
    void SpeedButton4Click(TObject* sender);
};

// The definition in tests/ui/data/stdctl.dfm (also compiled in as a resource).
std::string StdCtlText();

} // namespace wl::test
