#ifndef ORBELLO_PRESENTATION_SOUNDS_H
#define ORBELLO_PRESENTATION_SOUNDS_H

// Sound kinds; the value indexes the table of file names in sounds.cpp.
enum SoundKind {
    SOUND_SELECT = 0,
    SOUND_PLACE = 1,
    SOUND_CAPTURE = 2,
};

#endif
