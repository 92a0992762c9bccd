#include "host/saver_host_state_win.h"

SaverHostState saverHostState;
