// The standard-controls test form and frame (see stdctl_form.h).
#include "stdctl_form.h"

#include "support/testdata.h"

namespace wl::test {

WL_DEFINE_CLASS(TStdTestFrame, [](ClassBuilder<TStdTestFrame>& c) {
    c.Field("FrameLabel", &TStdTestFrame::FrameLabel);
    c.Field("FrameCheck", &TStdTestFrame::FrameCheck);
})

WL_DEFINE_CLASS(TStdCtlForm, [](ClassBuilder<TStdCtlForm>& c) {
    c.Field("GroupBox1", &TStdCtlForm::GroupBox1);
    c.Field("CheckBox1", &TStdCtlForm::CheckBox1);
    c.Field("CheckBox2", &TStdCtlForm::CheckBox2);
    c.Field("RadioButton1", &TStdCtlForm::RadioButton1);
    c.Field("RadioButton2", &TStdCtlForm::RadioButton2);
    c.Field("RadioGroup1", &TStdCtlForm::RadioGroup1);
    c.Field("ComboBox1", &TStdCtlForm::ComboBox1);
    c.Field("ComboBox2", &TStdCtlForm::ComboBox2);
    c.Field("ComboBox3", &TStdCtlForm::ComboBox3);
    c.Field("ListBox1", &TStdCtlForm::ListBox1);
    c.Field("ListBox2", &TStdCtlForm::ListBox2);
    c.Field("ScrollBar1", &TStdCtlForm::ScrollBar1);
    c.Field("ScrollBar2", &TStdCtlForm::ScrollBar2);
    c.Field("StaticText1", &TStdCtlForm::StaticText1);
    c.Field("Bevel1", &TStdCtlForm::Bevel1);
    c.Field("Shape1", &TStdCtlForm::Shape1);
    c.Field("Image1", &TStdCtlForm::Image1);
    c.Field("BitBtn1", &TStdCtlForm::BitBtn1);
    c.Field("BitBtn2", &TStdCtlForm::BitBtn2);
    c.Field("SpeedButton1", &TStdCtlForm::SpeedButton1);
    c.Field("SpeedButton2", &TStdCtlForm::SpeedButton2);
    c.Field("SpeedButton3", &TStdCtlForm::SpeedButton3);
    c.Field("SpeedButton4", &TStdCtlForm::SpeedButton4);
    c.Field("ScrollBox1", &TStdCtlForm::ScrollBox1);
    c.Field("BoxPanel", &TStdCtlForm::BoxPanel);
    c.Field("Frame1", &TStdCtlForm::Frame1);
    c.Method("CheckBox1Click", &TStdCtlForm::CheckBox1Click);
    c.Method("RadioGroup1Click", &TStdCtlForm::RadioGroup1Click);
    c.Method("ComboBox1Change", &TStdCtlForm::ComboBox1Change);
    c.Method("ScrollBar1Change", &TStdCtlForm::ScrollBar1Change);
    c.Method("ScrollBar1Scroll", &TStdCtlForm::ScrollBar1Scroll);
    c.Method("SpeedButton4Click", &TStdCtlForm::SpeedButton4Click);
})

void TStdCtlForm::CheckBox1Click(TObject*) { log.push_back("CheckBox1Click " + std::to_string(CheckBox1->State())); }
void TStdCtlForm::RadioGroup1Click(TObject*) {
    log.push_back("RadioGroup1Click " + std::to_string(RadioGroup1->ItemIndex()));
}
void TStdCtlForm::ComboBox1Change(TObject*) { log.push_back("ComboBox1Change"); }
void TStdCtlForm::ScrollBar1Change(TObject*) {
    log.push_back("ScrollBar1Change " + std::to_string(ScrollBar1->Position()));
}
void TStdCtlForm::ScrollBar1Scroll(TObject*, TScrollCode code, int& position) {
    log.push_back("ScrollBar1Scroll " + std::to_string(code) + " " + std::to_string(position));
}
void TStdCtlForm::SpeedButton4Click(TObject*) { log.push_back("SpeedButton4Click"); }

std::string StdCtlText() { return ReadFileBytes(WL_STDCTL_DFM); }

} // namespace wl::test
