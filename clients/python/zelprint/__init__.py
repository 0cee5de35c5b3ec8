"""Reports printed by ZelPrintDemo over the D-Bus session bus (see Report)."""
from .report import Job, Report, ZelPrintError
from .values import Empty

__all__ = ["Empty", "Job", "Report", "ZelPrintError"]
