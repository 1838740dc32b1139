#pragma once
// The platform services one program uses, handed to the controllers together with the state.

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "platform/ProgramLauncher.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "platform/SoundPlayer.h"

namespace kv {

struct Platform {
    Prompter& prompter;
    Clock& clock;
    SerialPort& serial;
    SoundPlayer& sound;
    ProgramLauncher& launcher;
    Clipboard& clipboard;
    Printer& printer;
};

} // namespace kv
