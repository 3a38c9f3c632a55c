# Orca writes its debug log through a buffer of several kilobytes; line by
# line, the road can wait for what Orca has just said.
import orca.debug

if orca.debug.debugFile:
    orca.debug.debugFile.reconfigure(line_buffering=True)
