(defun f (/ C) (setq C 1) (while (< C 5) (setq C (1+ C))))
(f)
