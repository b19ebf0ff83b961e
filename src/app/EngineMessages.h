#pragma once

#include <string_view>

namespace luming {

// The engines inside the program (the web engine and its processes, the player, the sound
// system) write their own messages to standard error: settings dumps, "WebGL blocklisted" for
// every Flash movie, ALSA and PipeWire lines. The program's own lines begin with "luming: ";
// only they are kept there unless the engines' messages are asked for.
bool IsClientLine(std::string_view line);

// Copies the client's lines read from `from` to `to`, until `from` ends.
void PassClientLines(int from, int to);

// Puts a filter between the whole process tree's standard error and where it went: a small
// process of its own, so that it outlives the program while a process the program started
// still writes, and loses no line when the program ends abruptly. Call before any thread
// starts. Sanitized builds keep everything: a sanitizer's report is no engine's noise.
void HoldBackEngineMessages();

} // namespace luming
