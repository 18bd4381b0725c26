// Words and counts from the engine's input, read the way the platform's word protocol
// expects, with what the platform has already sent and the engine has not read yet able
// to be dropped.
#pragma once

constexpr int WORD_BUFFER = 256; // a word holds at most 255 characters

// Where the bytes come from. read blocks until something arrives (0 at end of input);
// read_available returns only what has already arrived, without waiting.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual int read(char* buffer, int size) = 0;
    virtual int read_available(char* buffer, int size) = 0;
    // False when nothing should ever be dropped (a file: all of it is the script).
    virtual bool drops_pending() const { return true; }
};

enum class CountResult { ok, not_a_number, end_of_input };

class WordInput {
  public:
    explicit WordInput(ByteSource& source) : source_(source) {}

    // Skips blanks and reads a maximal run of non-blank characters into word, ending it
    // with a 0. Characters past the 255th are read and dropped, so an over-long word
    // stays one word. False at end of input before any character.
    bool read_word(char (&word)[WORD_BUFFER]);

    // Skips blanks and reads an optionally signed decimal number; values beyond the
    // 32-bit range are clamped. When the next word does not start with a number it is
    // left unread.
    CountResult read_count(int& count);

    // Drops whatever has arrived and not been read, so the next word read is the first
    // that arrives afterwards.
    void drop_pending();

  private:
    int peek(); // next byte, or -1 at end of input; does not consume
    bool fill();

    ByteSource& source_;
    char buffer_[4096];
    int start_ = 0;
    int end_ = 0;
    bool eof_ = false;
};
