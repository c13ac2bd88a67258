// Splits the byte stream of the game server into its three parts: text (with
// ANSI colour sequences, delivered in runs), telnet echo control and the bell,
// and tagged records framed by ';':
//   ;s name ; data ;e name ;   a record with data
//   ;t name ;                  a record without data
//   ;;                         a literal ';' in the text
// A byte-at-a-time state machine whose state survives between calls, so a
// record or a telnet command may be split anywhere between two reads. It
// reports through vesk_stream_demux_sink and knows nothing about windows.
#ifndef OMBRITH_NET_STREAM_DEMUX_H
#define OMBRITH_NET_STREAM_DEMUX_H

class vesk_stream_demux_sink {
public:
  virtual ~vesk_stream_demux_sink() {}
  // One run of text, NUL-terminated; length excludes the terminator (the run
  // may itself contain NUL bytes). Never empty, at most 2560 bytes.
  virtual void demux_text_run(const char *text, int length) = 0;
  // A complete record: name (NUL-terminated, at most 63 bytes, possibly
  // empty), data (NUL-terminated, at most 14999 bytes, no ';' and no
  // carriage return; it may hold NUL bytes) and the data's length.
  virtual void demux_record(const char *name, const char *data, int length) = 0;
  // The server asked for the command line's local echo on (1) or off (0).
  virtual void demux_local_echo(int enable) = 0;
  // A bell byte arrived.
  virtual void demux_bell() = 0;
};

class vesk_stream_demux {
public:
  enum {
    STATE_TEXT = 1,
    STATE_IAC = 10,         // after telnet IAC
    STATE_NEGOTIATION = 11, // after IAC WILL / WONT / DO / DONT
    STATE_SEMICOLON = 20,   // after ';'
    STATE_START_NAME = 21,
    STATE_END_NAME = 22,
    STATE_DATA = 23,
    STATE_NAME_ONLY = 30, // name of a record without data
  };
  enum { TEXT_RUN_SIZE = 2560, NAME_SIZE = 65, DATA_SIZE = 15000 };
  enum { TELNET_IAC = 255, TELNET_WILL = 251, TELNET_WONT = 252, TELNET_DO = 253, TELNET_DONT = 254 };
  enum { TELNET_ECHO = 1, BEL = 7 };

  explicit vesk_stream_demux(vesk_stream_demux_sink *sink);

  // Runs the machine over count received bytes. Text is delivered at the
  // latest when the block ends.
  void process_socket_data(const char *data, int count);

  // Back to text with both names emptied (used when the display's colours
  // are reset).
  void reset();
  // Back to text; anything half-read is abandoned (connect, disconnect).
  void set_text_state() { state = STATE_TEXT; }

  int state;
  int telnet_command;
  char start_name[NAME_SIZE];
  char end_name[NAME_SIZE];
  int name_count; // characters stored in the name or data being read
  char record_data[DATA_SIZE];

private:
  vesk_stream_demux_sink *sink;
};

#endif
