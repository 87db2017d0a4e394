// Byte streams over files, embedded data and memory, little-endian, as every file format of the game uses them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dusk {

// A stream either reads (from a file loaded whole, embedded data or a memory buffer) or writes (to a file).
// Reading past the end ends the program with "Error reading from stream"; a failed write ends it with
// "Error writing to stream". Readers of untrusted files check Remaining() before they read.
class stream {
 public:
  virtual ~stream() = default;

  int ReadByte();      // 0 … 255
  int ReadShort();     // 0 … 65535
  int32_t ReadInt();   // signed 32-bit
  double ReadDouble();
  // The bytes up to a line feed, a byte 0 or the end, one character each; a carriage return is dropped.
  std::string ReadLine();
  void ReadBytes(uint8_t* data, size_t count);  // exactly count bytes, or the read error

  void WriteByte(int n);
  void WriteShort(int n);
  void WriteInt(int32_t n);
  void WriteDouble(double d);
  // Each character's low 8 bits, then carriage return and line feed.
  void WriteLine(const std::string& text);
  void WriteBytes(const uint8_t* data, size_t count);

  int Eof() const;  // 1 at the end of the stream (always for a writing stream)
  void Seek(int64_t position);  // a reading stream's position, kept within 0 … Size(); writers ignore it
  int64_t Position() const;
  int64_t Size() const;
  int64_t Remaining() const;  // bytes left to read
  // Writes buffered bytes out; returns false when the device refused them. Close() calls it, and a
  // refusal there is the write error; a writing stream dropped without Close() is closed the same way.
  [[nodiscard]] bool Flush();
  void Close();

  bool Writable() const;

 protected:
  stream() = default;
  // A writing stream's device takes the pending bytes_ and empties it; a memory writer keeps them.
  virtual bool FlushBytes() { return true; }
  virtual bool CloseDevice() { return true; }
  [[noreturn]] void ReadError() const;
  [[noreturn]] void WriteError() const;
  const uint8_t* Take(size_t count);  // the next count bytes of a reading stream, or the read error
  void Put(const uint8_t* data, size_t count);

  std::vector<uint8_t> bytes_;  // a reading stream's whole contents, or a writing stream's pending bytes
  int64_t position_ = 0;        // read position, or the number of bytes written so far
  bool writable_ = false;
  bool closed_ = false;
};

using stream_ptr = std::unique_ptr<stream>;

// Opens a file (or "incbin::" + a registered embedded name) for reading; none when it can't be read.
stream_ptr OpenRead(const std::string& path);
// Creates the file or replaces its contents; none when it can't be created.
stream_ptr OpenWrite(const std::string& path);
// A reading stream over bytes in memory, for tests, fuzzers and decoded data.
stream_ptr OpenMemory(std::vector<uint8_t> bytes);
// A writing stream that keeps its bytes in memory; TakeBytes() hands them over.
class memory_writer;
std::unique_ptr<memory_writer> OpenMemoryWrite();

class memory_writer : public stream {
 public:
  memory_writer() { writable_ = true; }
  std::vector<uint8_t> TakeBytes();
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
};

}  // namespace dusk
