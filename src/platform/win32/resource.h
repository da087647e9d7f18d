// Resource ids, shared by the resource script and the code.
#pragma once

#define IDI_APP 1
#define IDI_TEXTFILE 101
#define IDI_DOCUMENT 102
#define IDI_DELETE 103
#define IDI_SAVE 104
#define IDI_PREVIEW 105
#define IDB_PANEL 201
#define IDB_LOGO 202
