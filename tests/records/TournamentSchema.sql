-- The part of the tournament results database that the court program reads and writes: the tournaments
-- (one active, use_yn 'Y'), the court rows, the match rows and their two side rows, the players, the
-- division settings, the code table, the match view and the player-name function. The tests load it into a
-- throwaway PostgreSQL server; codes and counters are texts as on the tournament's servers.

CREATE TABLE tkdtour (
    tour_code varchar(10) NOT NULL,
    tour_cnt varchar(4) NOT NULL,
    use_yn char(1) NOT NULL DEFAULT 'N',
    geru_game_no_type varchar(1) NOT NULL DEFAULT '1', -- which number the court shows: 1 game, 2 division, 3 day, 4 overall
    PRIMARY KEY (tour_code, tour_cnt)
);

CREATE TABLE tkdcode (
    main_code varchar(4) NOT NULL, -- '42' divisions, '22' weight classes
    sub_code varchar(10) NOT NULL,
    code_name1 varchar(100),
    PRIMARY KEY (main_code, sub_code)
);

CREATE TABLE tkdgerucourt (
    tour_code varchar(10) NOT NULL,
    tour_cnt varchar(4) NOT NULL,
    court_no varchar(4) NOT NULL,
    rcv_info_ch varchar(4),
    rcv_info_panid varchar(8),
    rcv_info_mac varchar(16),
    PRIMARY KEY (tour_code, tour_cnt, court_no)
);

CREATE TABLE tkdgeruplayer (
    tour_code varchar(10) NOT NULL,
    tour_cnt varchar(4) NOT NULL,
    dep_code varchar(10) NOT NULL,
    wei_code varchar(10) NOT NULL,
    reg_seq varchar(10) NOT NULL,
    player_name varchar(100),
    player_team varchar(100),
    player_nat varchar(10),
    video_cnt integer,
    PRIMARY KEY (tour_code, tour_cnt, dep_code, wei_code, reg_seq)
);

CREATE TABLE tkdgerusel (
    tour_code varchar(10) NOT NULL,
    tour_cnt varchar(4) NOT NULL,
    dep_code varchar(10) NOT NULL,
    wei_code varchar(10) NOT NULL,
    strength integer,
    punch_level integer,
    PRIMARY KEY (tour_code, tour_cnt, dep_code, wei_code)
);

CREATE TABLE tkdgerursltm (
    tour_code varchar(10) NOT NULL,
    tour_cnt varchar(4) NOT NULL,
    dep_code varchar(10) NOT NULL,
    wei_code varchar(10) NOT NULL,
    stage_code varchar(10) NOT NULL,
    game_code varchar(10) NOT NULL,
    subdiv_code varchar(2) NOT NULL DEFAULT 'X',
    game_date varchar(8),
    game_no varchar(10),
    game_day_no varchar(10),
    game_dep_no varchar(10),
    gender_code varchar(1),
    game_court varchar(4),
    game_status varchar(1) DEFAULT '1', -- 1 waiting, 2 playing, 3 finished
    curr_round varchar(2),
    result_code varchar(2),
    ext_yn varchar(1),
    bigo varchar(200),
    mac_addr_reg_time timestamp,
    match_order varchar(10),
    court_reg_time timestamp,
    PRIMARY KEY (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, subdiv_code)
);

CREATE TABLE tkdgerursltd (
    tour_code varchar(10) NOT NULL,
    tour_cnt varchar(4) NOT NULL,
    dep_code varchar(10) NOT NULL,
    wei_code varchar(10) NOT NULL,
    stage_code varchar(10) NOT NULL,
    game_code varchar(10) NOT NULL,
    br_gubun char(1) NOT NULL, -- B blue (Chung), R red (Hong)
    reg_seq varchar(10),
    mac_body varchar(16),
    mac_head varchar(16),
    dukjum varchar(4), gamjum varchar(4), jumsu varchar(4),
    dukjum1 varchar(4), dukjum2 varchar(4), dukjum3 varchar(4), dukjum4 varchar(4), dukjum5 varchar(4),
    gamjum1 varchar(4), gamjum2 varchar(4), gamjum3 varchar(4), gamjum4 varchar(4), gamjum5 varchar(4),
    win_cnt1 varchar(2), win_cnt2 varchar(2), win_cnt3 varchar(2), win_cnt4 varchar(2), win_cnt varchar(2),
    result varchar(4),
    sup varchar(10),
    PRIMARY KEY (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, br_gubun)
);

-- One row per match of the active tournament with both sides.
CREATE VIEW tkdgerursltview AS
SELECT m.tour_code, m.tour_cnt, m.dep_code, m.wei_code, m.stage_code, m.game_code, m.game_date, m.game_no,
       m.game_day_no, m.game_dep_no, m.gender_code, m.game_status, m.game_court, m.mac_addr_reg_time,
       m.match_order, m.court_reg_time,
       b.reg_seq AS blue_reg_seq, b.mac_body AS blue_mac_body, b.mac_head AS blue_mac_head,
       bp.player_name AS blue_player_name, bp.player_team AS blue_player_team, bp.player_nat AS blue_player_nat,
       r.reg_seq AS red_reg_seq, r.mac_body AS red_mac_body, r.mac_head AS red_mac_head,
       rp.player_name AS red_player_name, rp.player_team AS red_player_team, rp.player_nat AS red_player_nat
  FROM tkdgerursltm m
  JOIN tkdtour t ON t.tour_code = m.tour_code AND t.tour_cnt = m.tour_cnt AND t.use_yn = 'Y'
  JOIN tkdgerursltd b ON b.tour_code = m.tour_code AND b.tour_cnt = m.tour_cnt AND b.dep_code = m.dep_code
       AND b.wei_code = m.wei_code AND b.stage_code = m.stage_code AND b.game_code = m.game_code
       AND b.br_gubun = 'B'
  JOIN tkdgerursltd r ON r.tour_code = m.tour_code AND r.tour_cnt = m.tour_cnt AND r.dep_code = m.dep_code
       AND r.wei_code = m.wei_code AND r.stage_code = m.stage_code AND r.game_code = m.game_code
       AND r.br_gubun = 'R'
  LEFT JOIN tkdgeruplayer bp ON bp.tour_code = b.tour_code AND bp.tour_cnt = b.tour_cnt
       AND bp.dep_code = b.dep_code AND bp.wei_code = b.wei_code AND bp.reg_seq = b.reg_seq
  LEFT JOIN tkdgeruplayer rp ON rp.tour_code = r.tour_code AND rp.tour_cnt = r.tour_cnt
       AND rp.dep_code = r.dep_code AND rp.wei_code = r.wei_code AND rp.reg_seq = r.reg_seq
 WHERE m.subdiv_code = 'X';

-- The name a court shows for a registration number of the active tournament.
CREATE FUNCTION pss_send_name(seq varchar) RETURNS varchar LANGUAGE sql STABLE AS $$
    SELECT p.player_name FROM tkdgeruplayer p
     WHERE p.reg_seq = seq
       AND (p.tour_code, p.tour_cnt) IN (SELECT tour_code, tour_cnt FROM tkdtour WHERE use_yn = 'Y')
     LIMIT 1
$$;
