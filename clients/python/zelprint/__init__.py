"""Reports printed by ZelPrintDemo over the D-Bus session bus (see Report)."""
from .report import Job, NothingPrinted, Report, ZelPrintError
from .values import OMITTED, Empty

__all__ = ["Empty", "Job", "NothingPrinted", "OMITTED", "Report", "ZelPrintError"]
