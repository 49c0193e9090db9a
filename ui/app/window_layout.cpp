#include "ui/app/window_layout.h"

#include "ui/picture/datapath_geometry.h"

#include <QWidget>

namespace tessaro {

namespace {

namespace g = geometry;

// clang-format off
const Placement kWindowLayout[] = {
    // The picture with the microprogram listing on it, the program editor and its error list.
    {"Image1",            g::kPictureRect,            true},
    {"LabelMicroProgram", {360, -2, 110, 16},         false},
    {"Label33",           {472, -2, 336, 16},         false},
    {"Memo2",             g::kListingRect,            true},
    {"LabelIJVMProgram",  {8, 496, 86, 20},           false},
    {"Label34",           {96, 496, 600, 20},         false},
    {"Memo1",             {8, 520, 689, 177},         false},
    {"ListBox5",          {8, 424, 689, 97},          false},
    {"Image2",            g::kClockRect,              false},
    // Constant pool, method area, stack and frame down the right-hand side.
    {"LabelConstantPool", {816, 0, 120, 16},          false},
    {"ListBox1",          {816, 16, 204, 180},        false},
    {"LabelMethodArea",   {816, 200, 120, 16},        false},
    {"ListBox2",          {816, 216, 136, 180},       false},
    {"LabelStack",        {816, 408, 80, 16},         false},
    {"ListBox4",          {816, 424, 204, 132},       false},
    {"ListBox3",          {816, 558, 204, 139},       false},
    {"Label2",            {944, 0, 60, 16},           false}, // <-CPP
    {"Label3",            {768, 432, 44, 16},         false}, // SP->
    {"Label4",            {768, 536, 44, 16},         false}, // LV->
    // The command buttons: SubCicle, Mic, Step, Run, Reset in a column, then the rest.
    {"BitBtn6",           {958, 230, 62, 30},         true},
    {"BitBtn1",           {958, 264, 62, 30},         true},
    {"BitBtn2",           {958, 296, 62, 30},         true},
    {"BitBtn3",           {958, 329, 62, 30},         true},
    {"BitBtn4",           {958, 361, 62, 30},         true},
    {"BitBtn5",           {908, 400, 111, 25},        false},
    {"ComboBox1",         {704, 460, 106, 24},        false},
    {"GroupBox1",         {712, 568, 97, 88},         false},
    {"Edit1",             {8, 24, 81, 22},            false},
    {"Label5",            {8, 52, 81, 24},            false},
    {"BitBtn7",           {720, 660, 65, 33},         true},
    // Going back, in the gap below the picture beside the editor.
    {"BackMicButton",     {704, 502, 51, 24},         true},
    {"BackStepButton",    {757, 502, 51, 24},         true},
    {"Button2",           {1023, 0, 1, 1},            false},
};
// clang-format on

} // namespace

void applyWindowLayout(QWidget* client) {
    for (const Placement& p : kWindowLayout) {
        auto* widget = client->findChild<QWidget*>(QLatin1String(p.objectName));
        if (widget == nullptr) {
            continue;
        }
        widget->setGeometry(p.rect);
        if (p.show) {
            widget->show();
        }
    }
}

} // namespace tessaro
