#include "effects/sound_schedule.h"

namespace xmo {

const char* soundErrorText(SoundError error) {
    switch (error) {
        case SoundError::OutputDevice: return "Error initializing output device.";
        case SoundError::FileNotFound: return "File not found";
        case SoundError::UnknownFormat: return "Unknown file format";
        case SoundError::LoadFailed: return "Error loading file";
        // The trailing space is part of the message players have always shown.
        case SoundError::OutOfMemory: return "Not enough memory ";
    }
    return "Unknown error";
}

}  // namespace xmo
