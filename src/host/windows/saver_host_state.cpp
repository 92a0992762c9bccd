#include "host/windows/saver_host_state.h"

SaverHostState saverHostState;
