// JSON descriptions of what the probe finds, shared by all commands so every command prints a
// control, the list, a status bar or a message box the same way.
#pragma once

#include <windows.h>

#include "JsonLine.h"
#include "ListViewAccess.h"
#include "WindowQueries.h"

namespace zorvi::room {

// {"kind":"window","title","count","rect":[l,t,w,h] on screen,"client":[w,h],"screen":[w,h]}
JsonObject describeWindow(HWND window, std::size_t count);
// {"kind":"control","class","text","enabled","visible","style","rect":[l,t,w,h] in the client
//  area,"screen":[x,y],"parent": parent class}
JsonObject describeControl(const ControlInfo& control);
// {"kind":"list","columns":[...],"rows":[{"checked","state_image","cells":[...]}]}
JsonObject describeList(const ListContent& content);
// {"kind":"box","title","text","buttons":[...]} for a dialog; "edits" lists its edit fields.
JsonObject describeDialog(HWND dialog);

}  // namespace zorvi::room
