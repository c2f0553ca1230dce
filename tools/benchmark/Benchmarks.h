#pragma once

#include <string>

// The sections of the benchmark. Each measures the program and its
// reference side by side in every run and prints its lines of the table.

// Reading a course's text block (a new course and ReadTextBlock) against
// base64 decoding, inflating and one scan of the same bytes, for a course of
// each kind (only those whose name holds kindFilter, when given); how the
// time per object grows from 1,000 to 10,000 objects; and the heap
// allocations per object.
void BenchReading(int runs, const std::string& kindFilter);
// One undo commit, one undo and one redo against one archive write, on a
// course of every kind and on a large one.
void BenchUndo(int runs);
// A map frame at 1280 x 1024 against a bare GDI replay of the same picture,
// for the course of every kind and for a course of tunnels whose bodies run
// far out of the frame; with savePictures both go to PNG files in the
// current folder.
void BenchMapFrame(int runs, bool savePictures);
// The 3D view of a course of about a thousand objects at 1024 x 768, drawn
// through OpenGL 1 into a window frame after frame (its meshes kept, as in a
// course window), against GDI's picture of the same view, and the frames a
// second; with savePictures both pictures go to PNG files.
void BenchView3DFrame(int runs, bool savePictures);
// Start to the first painted course window against the minimal window
// program, both started by this process under the same Wine server.
void BenchStartUp(int runs);
