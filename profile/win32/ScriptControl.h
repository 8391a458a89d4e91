#pragma once
// The COM script control (ProgID "ScriptControl") running VBScript, driven through IDispatch.
// Create, use and destroy it on one thread. COM is initialised for the thread while the object
// lives (a thread that already has COM keeps its own apartment).

#include <oaidl.h>

#include <span>
#include <string>
#include <string_view>

namespace zorvi {

class ScriptControl {
 public:
  // Creates the control and sets its Language to "VBScript"; check usable() before use.
  ScriptControl();
  ScriptControl(const ScriptControl&) = delete;
  ScriptControl& operator=(const ScriptControl&) = delete;
  ~ScriptControl();

  bool usable() const { return control_ != nullptr; }

  // ExecuteStatement with GBK script text; true when the script ran.
  bool executeStatement(std::string_view statement);

  // Run of a script function with text arguments. Returns its value as GBK text: empty when the
  // call fails, the value is empty or null, or it has no text form.
  std::string run(std::string_view function, std::span<const std::string_view> arguments);

 private:
  bool ownsComReference_ = false;  // this object's CoInitializeEx reference, released last
  IDispatch* control_ = nullptr;   // owned: released in the destructor
};

}  // namespace zorvi
