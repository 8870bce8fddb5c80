"""python3 -m kestrun: the batch command (kestrun.batch)."""

import sys

from .batch import main

sys.exit(main())
