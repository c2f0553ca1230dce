#pragma once

#include <string>

// The sections of the benchmark. Each measures the program and its
// reference side by side in every run and prints its lines of the table.

// Reading a course's text block (a new course and ReadTextBlock) against
// base64 decoding, inflating and one scan of the same bytes, for a course of
// each kind (only those whose name holds kindFilter, when given); how the
// time per object grows from 1,000 to 10,000 objects; and the heap
// allocations per object. Then the same for the course of every kind at
// about 1,000, 10,000 and 100,000 objects, in bands and interleaved.
void BenchReading(int runs, const std::string& kindFilter);
// For profiling the read alone: "--save-read FOLDER" writes the text blocks
// of the course of every kind at its three sizes, in bands and interleaved,
// into the folder (and the first frames' judge's course, without and with
// its handler figures, as course files), and "--read-file FILE" reads one
// such block runs times against its floor.
void SaveReadBlocks(const std::string& folder);
void BenchReadFile(const std::string& path, int runs);
// Peak memory reading 100,000 objects of each kind (only those whose name
// holds kindFilter, when given), and of the course of every kind: each read
// by a child process (RunMemoryChild) from a file this process writes.
void BenchMemory(const std::string& kindFilter);
// The child's part, for "--memory-child FILE": opens the file as the
// program opens a course file, reads it into a new course and prints the
// growth of the peak working set and of the private memory in MB and the
// objects read.
int RunMemoryChild();
// One undo commit, one undo and one redo against one archive write, on a
// course of every kind and on a small and a large one of A-frames.
void BenchUndo(int runs);
// A map frame at 1280 x 1024 against a bare GDI replay of the same picture,
// for the course of every kind at about 1,000 objects (and its frames per
// second), for a course of tunnels whose bodies run far out of the frame and
// for the course of every kind at 100,000 objects; with savePictures both go
// to PNG files in the current folder. With a row filter, only the rows whose
// description holds it ("23 of each", "tunnels") are made and measured.
void BenchMapFrame(int runs, bool savePictures, const std::string& rowFilter);
// The first map frame of a course just read, as a window paints a course
// file it opens, against the second frame of the same view: for the course
// of every kind at about 1,000 objects, for a judge's course, and for the
// same with 60 handler figures in one pose.
void BenchFirstMapFrame(int runs);
// The 3D view of a judge's course (25 obstacles, their numbers and a dog
// path) and of a course of about a thousand objects at 1024 x 768, drawn
// through OpenGL 1, OpenGL 3 and Direct3D 11 into a window frame after frame
// (its meshes kept, as in a course window), against GDI's picture of the
// same view, with the frames a second and the draw calls and triangles of a
// frame; then the larger course's map at 1280 x 1024 through Direct3D 11
// beside GDI. With savePictures the pictures go to PNG files.
void BenchView3DFrame(int runs, bool savePictures);
// Start to the first painted course window against the minimal window
// program, both started by this process under the same Wine server; at
// least 9 runs.
void BenchStartUp(int runs);
// Refitting a dog path tied to 20 jumps after one of them is dragged: the
// median and the slowest time of the refit, in milliseconds.
void BenchDogPathRefit(int runs);
