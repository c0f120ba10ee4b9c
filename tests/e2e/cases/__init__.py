# SPDX-License-Identifier: MIT
"""Every case of the end-to-end test, by name, in the order they run."""

from cases import alarms, damage, desktop, handover, install, notifications, one_copy

ALL = {case.__name__: case for case in (
    alarms.first_start, alarms.due_entry, alarms.empty_message, damage.broken_file,
    damage.broken_file_due, one_copy.second_copy, one_copy.one_copy_whatever_the_lock,
    one_copy.one_copy_read_only_folder, one_copy.planted_link, alarms.alerts_come_back,
    damage.damaged_file_full_disk, damage.damaged_file_read_only_folder,
    damage.file_size_limit, alarms.no_windows_left, desktop.windows_in_front,
    desktop.minimised_windows_come_back, desktop.no_tray_window_stays,
    desktop.editor_keeps_its_place, desktop.help_cannot_open,
    desktop.date_picker_beside_the_editor, install.install,
    damage.rewritten_by_another_program, handover.second_start_hands_over,
    handover.two_starts_at_once, handover.add_through_the_running_copy, handover.add_and_list_with_no_copy,
    notifications.notification_answers_for_its_window,
    notifications.no_notification_when_turned_off)}
