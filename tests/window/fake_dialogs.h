#pragma once
// The window tests' dialog service: the shared scripted one.

#include "platform/qt/scripted_dialogs.h"

using FakeDialogs = vex::ScriptedDialogs;
