#pragma once

// Gives the course the properties dialogs of the object kinds
// (course/EditSession.h): the kinds with a dialog of their own by type id,
// the plain dialog for every other. Start-up calls it once, after the
// object kinds are registered: the jump kinds are found among them.
void RegisterPropertiesDialogs();
