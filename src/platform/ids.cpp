#include "platform/ids.h"

namespace pw {

std::string_view FamilyName(Family f) {
  switch (f) {
    case Family::MainForm: return "MainForm";
    case Family::Form2: return "Form2";
    case Family::picView: return "picView";
    case Family::AboutForm: return "AboutForm";
    case Family::ClipShow: return "ClipShow";
    case Family::t: return "t";
    case Family::w: return "w";
    case Family::d: return "d";
    case Family::simg: return "simg";
    case Family::sav: return "sav";
    case Family::dpic: return "dpic";
    case Family::pv: return "pv";
    case Family::CtrlFrame: return "CtrlFrame";
    case Family::EmptyAll: return "EmptyAll";
    case Family::MainhWndHide: return "MainhWndHide";
    case Family::CmdCapScreen: return "CmdCapScreen";
    case Family::cmd_jp: return "cmd_jp";
    case Family::cmd_about: return "cmd_about";
    case Family::CheckAutoHide: return "CheckAutoHide";
    case Family::vpic: return "vpic";
    case Family::pView: return "pView";
    case Family::PreviewImage: return "PreviewImage";
    case Family::myjs: return "myjs";
    case Family::myjs2: return "myjs2";
    case Family::myjs3: return "myjs3";
    case Family::mylogo: return "mylogo";
  }
  return "?";
}

}  // namespace pw
